#include "editor/compilerlines.h"

#include "platform/textutil.h"

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
    return StrToInt(text);
}

QStringList CompilerOutputLines(const QByteArray& bytes)
{
    return SplitLines(DecodeUtf8OrLatin1(bytes));
}

} // namespace bp
