#pragma once

#include "platform/errors.h"

#include <QString>
#include <QStringList>

namespace bp {

// A failure of the process runner itself (the tool could not be started, the
// capture file could not be made). What the tool prints is never an error.
class EDosProcessError : public EBrewpadError {
public:
    using EBrewpadError::EBrewpadError;
};

// Runs Program with Arguments (directly, never through a shell) in Directory
// and waits until it has ended, keeping the window painted but handling no
// user input meanwhile. The tool reads an empty, closed standard input; what
// it writes to standard output and standard error, merged in the order it
// arrives, is copied byte for byte into a new "bpd" temporary file in
// Directory. Returns that file's path; the caller owns and deletes it.
// ShowNormal and RedirectStdout have no effect on this platform.
// Throws EDosProcessError "no input file" when Directory takes no new file,
// and "Create process failed" when the tool cannot be started; no temporary
// file is left behind after either. The tool's exit code is not looked at.
QString RunDosProcess(const QString& Program, const QStringList& Arguments,
                      const QString& Directory, bool ShowNormal, bool RedirectStdout);

// The same for a command-line text: quoted parts are one argument, the first
// argument is the program.
QString RunDosProcess(const QString& CommandLine, const QString& Directory, bool ShowNormal,
                      bool RedirectStdout);

} // namespace bp
