#pragma once

#include <QString>

namespace bp {

// The JDK's tools as a compile runs them, through the process runner: never
// through a shell, the path of the source as the compiler's one argument.

// Asks the interpreter for its version ("-version", run in directory) and
// tells whether it belongs to the 1.0 generation, whose first line starts
// with `java version "1.0`. Throws EDosProcessError when the interpreter
// cannot be started.
bool IsOldJavaGeneration(const QString& javaInterpreter, const QString& directory);

// Compiles one source file in directory: the interpreter's version probe
// first, then the compiler. Returns the temporary file that holds everything
// the compiler printed; the caller deletes it. Throws EDosProcessError when a
// tool cannot be started; no temporary file is left behind then.
QString RunJavaCompiler(const QString& javaCompiler, const QString& javaInterpreter,
                        const QString& sourcePath, const QString& directory);

} // namespace bp
