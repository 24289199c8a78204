#pragma once

#include <QString>
#include <QStringList>

namespace bp {

// Starts a program that runs on its own (a browser, a terminal), never
// through a shell: program and arguments go to it exactly as given. An empty
// working directory is this process's own. True once the program started.
bool startDetached(const QString& program, const QStringList& arguments,
                   const QString& workingDir = QString());

} // namespace bp
