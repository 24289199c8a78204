#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace bp {

// Reading what the Java compiler printed. Its messages about a source line
// begin with the source's path, ":", the line number and ": ", then
// "error:" or "warning:" (in English; a translated JDK words them its own
// way), followed by the echoed source line and a line with a "^" under the
// column. The document's own path appears as it was given on the command
// line (absolute); the other sources it needs are named relative to the
// directory the compiler ran in ("./Other.java"), which is the document's.
// Whether the compile failed is the compiler's exit status when it is
// known; without it, a line containing " error" (javac's closing "1 error",
// "3 errors") or starting with "error:" (its fatal messages) says so.

// Where a double-click on an output line leads.
struct TCompilerJump {
    // The source line number (any int: the editor ignores lines it lacks);
    // nothing when the line does not lead anywhere.
    std::optional<int> Line;
    // Instead of Line, the error to report when the text where the number
    // belongs is no decimal int: "'<text>' is not a valid integer value".
    QString Error;
    // The source the line speaks of when it is not the document: an absolute
    // path, relative ones taken from the document's directory. Empty for the
    // document itself.
    QString File;

    friend bool operator==(const TCompilerJump&, const TCompilerJump&) = default;
};

// What a whole output says. A line's jump target is worked out when asked
// for, so that tens of thousands of lines cost nothing until one is wanted;
// the lines are shared, not copied.
class TCompilerOutputAnalysis {
public:
    TCompilerOutputAnalysis() = default;
    // exitedCleanly is the compiler's exit status: true for exit code 0,
    // false for another code or a killed compiler, nothing when not known.
    TCompilerOutputAnalysis(const QStringList& lines, const QString& documentPath,
                            std::optional<bool> exitedCleanly);

    // The compile failed: by the exit status when known, else by the text.
    bool Failed() const { return FFailed; }
    // The line selected first: in a failed compile, the document's first
    // error, or its first warning when it has no error; -1 for none.
    qsizetype FirstSelected() const { return FFirstSelected; }
    // The source line numbers of the document's errors in a failed compile,
    // in the order listed.
    const QList<int>& ErrorLineNumbers() const { return FErrorLines; }
    qsizetype LineCount() const { return FLines.size(); }
    // Line index's jump target (CompilerJump).
    TCompilerJump Jump(qsizetype index) const;

private:
    QStringList FLines;
    QString FDocumentPath;
    bool FFailed = false;
    qsizetype FFirstSelected = -1;
    QList<int> FErrorLines;
};

// True when an output line reports that the compile failed: it contains
// " error" or starts with "error:" (case-sensitive). Only for a compile whose
// exit status is not known.
bool IsCompileFailureLine(const QString& line);

// A line's jump target. A line that contains "documentPath:" leads to the
// document, at the text between that and the next ":" read as a decimal int
// (no colon after it: nowhere). Otherwise a line that starts with the path of
// a Java source, ":", decimal digits and ":" leads to that source, which is
// the document again when the path names it from its directory. Other lines,
// and any line while the document has no path, lead nowhere.
TCompilerJump CompilerJump(const QString& line, const QString& documentPath);

TCompilerOutputAnalysis AnalyseCompilerOutput(const QStringList& lines, const QString& documentPath,
                                              std::optional<bool> exitedCleanly = std::nullopt);

// The lines of a captured output: decoded as UTF-8 when valid, else as
// Latin-1, split at CR LF, LF or CR; a final line end opens no further line.
QStringList CompilerOutputLines(const QByteArray& bytes);

} // namespace bp
