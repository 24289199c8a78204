#include "tools/compileroutput.h"

#include "platform/textutil.h"

#include <algorithm>

namespace bp {

bool IsCompileFailureLine(const QString& line)
{
    // javac's own fatal messages (a source file that is not there, a bad
    // option) start the line with "error:" and come without a count line.
    return line.contains(QLatin1String(" error"), Qt::CaseSensitive) ||
           line.startsWith(QLatin1String("error:"), Qt::CaseSensitive);
}

TCompilerJump CompilerJump(const QString& line, const QString& documentPath)
{
    TCompilerJump jump;
    const QString key = documentPath + QLatin1Char(':');
    const qsizetype found = line.indexOf(key, 0, Qt::CaseSensitive);
    if (found < 0)
        return jump;
    const qsizetype start = found + key.size();
    const qsizetype colon = line.indexOf(QLatin1Char(':'), start);
    if (colon < 0)
        return jump;
    const QString number = line.mid(start, colon - start);
    jump.Line = TryStrToInt(number);
    if (!jump.Line)
        jump.Error = InvalidIntegerMessage(number);
    return jump;
}

TCompilerOutputAnalysis::TCompilerOutputAnalysis(const QStringList& lines,
                                                 const QString& documentPath)
    : FLines(lines), FDocumentPath(documentPath)
{
    FFailed = std::any_of(lines.cbegin(), lines.cend(), IsCompileFailureLine);
    if (!FFailed)
        return;
    const QString key = documentPath + QLatin1Char(':');
    const auto first = std::find_if(lines.cbegin(), lines.cend(),
                                    [&](const QString& line) { return line.contains(key); });
    if (first != lines.cend())
        FFirstSelected = first - lines.cbegin();
}

TCompilerJump TCompilerOutputAnalysis::Jump(qsizetype index) const
{
    return CompilerJump(FLines.at(index), FDocumentPath);
}

TCompilerOutputAnalysis AnalyseCompilerOutput(const QStringList& lines, const QString& documentPath)
{
    return TCompilerOutputAnalysis(lines, documentPath);
}

QStringList CompilerOutputLines(const QByteArray& bytes)
{
    return SplitLines(DecodeUtf8OrLatin1(bytes));
}

} // namespace bp
