#include "editor/compilerlines.h"

#include "model/textfile.h"
#include "platform/errors.h"

namespace bp {

bool IsCompileFailureLine(const QString& line)
{
    // javac's own fatal messages (a source file that is not there, a bad
    // option) start the line with "error:" and come without a count line.
    return line.contains(QLatin1String(" error"), Qt::CaseSensitive) ||
           line.startsWith(QLatin1String("error:"), Qt::CaseSensitive);
}

std::optional<QString> CompilerLineNumberText(const QString& line, const QString& path)
{
    const QString key = path + QLatin1Char(':');
    const qsizetype found = line.indexOf(key, 0, Qt::CaseSensitive);
    if (found < 0)
        return std::nullopt;
    const qsizetype start = found + key.size();
    const qsizetype colon = line.indexOf(QLatin1Char(':'), start);
    if (colon < 0)
        return std::nullopt;
    return line.mid(start, colon - start);
}

int CompilerLineNumber(const QString& text)
{
    bool ok = false;
    const int number = text.toInt(&ok, 10);
    if (!ok)
        throw EBrewpadError(QLatin1Char('\'') + text +
                            QStringLiteral("' is not a valid integer value"));
    return number;
}

QStringList CompilerOutputLines(const QByteArray& bytes)
{
    const QString text = decodeText(bytes, TTextFormat{TTextFormat::Utf8, TTextFormat::CRLF});
    QStringList lines;
    const QChar* p = text.constData();
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i].unicode();
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(QString(p + start, i - start));
        if (c == u'\r' && i + 1 < n && p[i + 1].unicode() == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(QString(p + start, n - start));
    return lines;
}

} // namespace bp
