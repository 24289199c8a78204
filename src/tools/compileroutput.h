#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace bp {

// Reading what the Java compiler printed. Its messages about a source line
// begin with the source path exactly as it was given on the command line,
// then ":", the line number and ":" again; a failed compile prints a line
// containing " error" (javac's closing "1 error", "3 errors") or, for its
// fatal messages, a line starting with "error:".

// Where a double-click on an output line leads in the document.
struct TCompilerJump {
    // The source line number (any int: the editor ignores lines it lacks);
    // nothing when the line does not lead anywhere.
    std::optional<int> Line;
    // Instead of Line, the error to report when the text where the number
    // belongs is no decimal int: "'<text>' is not a valid integer value".
    QString Error;

    friend bool operator==(const TCompilerJump&, const TCompilerJump&) = default;
};

// What a whole output says. A line's jump target is worked out when asked
// for, so that tens of thousands of lines cost nothing until one is wanted;
// the lines are shared, not copied.
class TCompilerOutputAnalysis {
public:
    TCompilerOutputAnalysis() = default;
    TCompilerOutputAnalysis(const QStringList& lines, const QString& documentPath);

    // Some line reports that the compile failed.
    bool Failed() const { return FFailed; }
    // The line selected first: in a failed compile, the first line that
    // contains "documentPath:"; -1 for none.
    qsizetype FirstSelected() const { return FFirstSelected; }
    qsizetype LineCount() const { return FLines.size(); }
    // Line index's jump target (CompilerJump).
    TCompilerJump Jump(qsizetype index) const;

private:
    QStringList FLines;
    QString FDocumentPath;
    bool FFailed = false;
    qsizetype FFirstSelected = -1;
};

// True when an output line reports that the compile failed: it contains
// " error" or starts with "error:" (case-sensitive).
bool IsCompileFailureLine(const QString& line);

// A line's jump target: the text between the first "documentPath:" and the
// next ":", as a decimal int. A line that does not contain "documentPath:",
// or has no colon after it, leads nowhere.
TCompilerJump CompilerJump(const QString& line, const QString& documentPath);

TCompilerOutputAnalysis AnalyseCompilerOutput(const QStringList& lines,
                                              const QString& documentPath);

// The lines of a captured output: decoded as UTF-8 when valid, else as
// Latin-1, split at CR LF, LF or CR; a final line end opens no further line.
QStringList CompilerOutputLines(const QByteArray& bytes);

} // namespace bp
