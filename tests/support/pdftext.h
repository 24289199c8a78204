#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QString>

#include <optional>

namespace bp::test {

// The text that poppler's pdftotext reads from a PDF file, pages separated
// by form feeds; nothing, with the reason in why, when it cannot be read.
// The set-up (scripts/deps.sh) installs pdftotext, so its absence is a
// failure to report, not a reason to skip.
inline std::optional<QString> pdfText(const QString& pdf, QString& why)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (program.isEmpty()) {
        why = QStringLiteral("pdftotext is not installed (package poppler-utils; "
                             "scripts/deps.sh installs it)");
        return std::nullopt;
    }
    QProcess p;
    p.start(program, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        why = QStringLiteral("pdftotext failed on ") + pdf + QStringLiteral(": ") +
              QString::fromLocal8Bit(p.readAllStandardError());
        return std::nullopt;
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace bp::test
