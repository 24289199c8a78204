#pragma once

#include "tools/javacoptions.h"

#include <QString>
#include <QStringList>

namespace bp {

// The terminal emulator programs run in: the first of x-terminal-emulator,
// gnome-terminal, konsole, xfce4-terminal and xterm found on PATH; empty
// when there is none.
QString FindTerminal();

// The script that keeps a program's terminal open after the program has
// ended: beside the executable (a build folder), or in ../libexec/brewpad or
// ../share/brewpad of an installation. Empty when it is not there.
QString ConsoleKeeperPath();

// The terminal's arguments for running program with its arguments through
// the keeper script (when there is one): the terminal's option for a
// command given as separate words, then the words.
QStringList TerminalArguments(const QString& terminal, const QString& keeper,
                              const QString& program, const QStringList& arguments);

// Starts program with its arguments in a terminal window of its own, from
// workingDir (empty: this process's own). The words go to the program as
// given, never through a shell. False when no terminal is found or it does
// not start.
bool StartInTerminal(const QString& program, const QStringList& arguments,
                     const QString& workingDir = QString());

// How the editor's run command runs a Java document.
struct TJavaRun {
    QStringList Arguments; // the interpreter's
    QString WorkingDir;    // the class root

    friend bool operator==(const TJavaRun&, const TJavaRun&) = default;
};

// The run of the class a source file (in folder, named fileName) holds: the
// class named after the file without its extension, in the package the text
// declares, from its class root: the compile's output folder when there is
// one, else the package's source root, else the file's folder; the
// compile's class path follows the root on the interpreter's class path. A
// file without a name names no class.
TJavaRun JavaRunFor(const QString& folder, const QString& fileName, const QString& packageName,
                    const TJavacOptions& options);

} // namespace bp
