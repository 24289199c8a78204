#include "tools/compileroutput.h"

#include "platform/fileservices.h"
#include "platform/textutil.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace bp {

namespace {

// The document's path and the forms in which an output line names it.
class TSourceNames {
public:
    explicit TSourceNames(const QString& documentPath)
        : FPath(documentPath), FKey(documentPath.isEmpty() ? QString() : documentPath + u':'),
          FDir(QFileInfo(documentPath).path()), FName(QFileInfo(documentPath).fileName())
    {
    }

    // "documentPath:", or empty when the document has no path.
    const QString& Key() const { return FKey; }

    // The absolute form of a path the compiler printed; relative paths are
    // relative to the directory it ran in, the document's.
    QString Resolve(const QString& printed) const
    {
        return QDir::toNativeSeparators(QDir::cleanPath(QDir(FDir).absoluteFilePath(printed)));
    }

    bool IsDocument(const QString& printed) const
    {
        // Most lines name other files: the name alone rules those out
        // before any path is built.
        if (!printed.endsWith(FName, Qt::CaseInsensitive))
            return false;
        const qsizetype before = printed.size() - FName.size() - 1;
        if (before >= 0 && printed.at(before) != u'/' && printed.at(before) != u'\\')
            return false;
        return files::samePath(Resolve(printed), QDir::toNativeSeparators(QDir::cleanPath(FPath)));
    }

private:
    QString FPath;
    QString FKey;
    QString FDir;
    QString FName;
};

// What an output line says about a source line, as far as the text tells.
struct TMessage {
    bool Found = false;
    // The source's path as printed at the start of the line; empty when the
    // line was found by the document's own path.
    QString Path;
    // The text where the line number belongs.
    QString Number;
    // javac's "warning:" after the number.
    bool Warning = false;
};

bool IsWarningAt(const QString& line, qsizetype from)
{
    while (from < line.size() && line.at(from) == u' ')
        ++from;
    return QStringView(line).sliced(from).startsWith(u"warning:");
}

bool IsAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// "<path>.java:<digits>:" at the start of a line. An echoed source line is
// indented more often than not; a path never starts with a blank.
TMessage ReadSourcePrefix(const QString& line)
{
    TMessage message;
    if (line.isEmpty() || line.at(0).isSpace())
        return message;
    const QLatin1String suffix(".java:");
    for (qsizetype from = 0;;) {
        const qsizetype found = line.indexOf(suffix, from);
        if (found < 0)
            return message;
        const qsizetype digits = found + suffix.size();
        qsizetype end = digits;
        while (end < line.size() && IsAsciiDigit(line.at(end)))
            ++end;
        if (end > digits && end < line.size() && line.at(end) == u':') {
            message.Found = true;
            message.Path = line.left(digits - 1);
            message.Number = line.mid(digits, end - digits);
            message.Warning = IsWarningAt(line, end + 1);
            return message;
        }
        from = found + 1;
    }
}

TMessage ReadMessage(const QString& line, const TSourceNames& names)
{
    TMessage message;
    if (names.Key().isEmpty())
        return message;
    // The document's path anywhere in the line: the compiler was given it
    // exactly so.
    const qsizetype found = line.indexOf(names.Key(), 0, Qt::CaseSensitive);
    if (found < 0)
        return ReadSourcePrefix(line);
    const qsizetype start = found + names.Key().size();
    const qsizetype colon = line.indexOf(u':', start);
    if (colon < 0)
        return message;
    message.Found = true;
    message.Number = line.mid(start, colon - start);
    message.Warning = IsWarningAt(line, colon + 1);
    return message;
}

TCompilerJump JumpOf(const QString& line, const TSourceNames& names)
{
    TCompilerJump jump;
    const TMessage message = ReadMessage(line, names);
    if (!message.Found)
        return jump;
    jump.Line = TryStrToInt(message.Number);
    if (!jump.Line) {
        jump.Error = InvalidIntegerMessage(message.Number);
        return jump;
    }
    if (!message.Path.isEmpty() && !names.IsDocument(message.Path))
        jump.File = names.Resolve(message.Path);
    return jump;
}

} // namespace

bool IsCompileFailureLine(const QString& line)
{
    // javac's own fatal messages (a source file that is not there, a bad
    // option) start the line with "error:" and come without a count line.
    return line.contains(QLatin1String(" error"), Qt::CaseSensitive) ||
           line.startsWith(QLatin1String("error:"), Qt::CaseSensitive);
}

TCompilerJump CompilerJump(const QString& line, const QString& documentPath)
{
    return JumpOf(line, TSourceNames(documentPath));
}

TCompilerOutputAnalysis::TCompilerOutputAnalysis(const QStringList& lines,
                                                 const QString& documentPath,
                                                 std::optional<bool> exitedCleanly)
    : FLines(lines), FDocumentPath(documentPath)
{
    // The exit status is the compiler's own verdict: text decides only
    // without it, since " error" also turns up in echoed source lines, in
    // paths and never in a translated message.
    FFailed = exitedCleanly ? !*exitedCleanly
                            : std::any_of(lines.cbegin(), lines.cend(), IsCompileFailureLine);
    if (!FFailed)
        return;
    // One pass for the first error and the error lines; nothing about
    // other files is worked out.
    const TSourceNames names(documentPath);
    qsizetype firstWarning = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const TMessage message = ReadMessage(lines.at(i), names);
        if (!message.Found || (!message.Path.isEmpty() && !names.IsDocument(message.Path)))
            continue;
        const std::optional<int> number = TryStrToInt(message.Number);
        if (!number)
            continue;
        if (message.Warning) {
            if (firstWarning < 0)
                firstWarning = i;
            continue;
        }
        if (FFirstSelected < 0)
            FFirstSelected = i;
        FErrorLines.append(*number);
    }
    if (FFirstSelected < 0)
        FFirstSelected = firstWarning;
}

TCompilerJump TCompilerOutputAnalysis::Jump(qsizetype index) const
{
    return CompilerJump(FLines.at(index), FDocumentPath);
}

TCompilerOutputAnalysis AnalyseCompilerOutput(const QStringList& lines, const QString& documentPath,
                                              std::optional<bool> exitedCleanly)
{
    return TCompilerOutputAnalysis(lines, documentPath, exitedCleanly);
}

QStringList CompilerOutputLines(const QByteArray& bytes)
{
    return SplitLines(DecodeUtf8OrLatin1(bytes));
}

} // namespace bp
