#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace bp {

// Reading what the Java compiler printed. Its messages about a source line
// begin with the source path exactly as it was given on the command line,
// then ":", the line number and ":" again; a failed compile prints a line
// containing " error" (javac's closing "1 error", "3 errors").

// True when an output line reports that the compile failed: it contains
// " error" or starts with "error:" (case-sensitive).
bool IsCompileFailureLine(const QString& line);

// The line-number text of an output line that points into the document at
// path: the text between "path:" and the next ":". Nothing when the line
// does not name the document or has no second colon.
std::optional<QString> CompilerLineNumberText(const QString& line, const QString& path);

// The line number the text gives, in decimal; throws EBrewpadError
// "'<text>' is not a valid integer value" for anything else, empty included.
int CompilerLineNumber(const QString& text);

// The lines of a captured output: decoded as UTF-8 when valid, else as
// Latin-1, split at CR LF, LF or CR; a final line end opens no further line.
QStringList CompilerOutputLines(const QByteArray& bytes);

} // namespace bp
