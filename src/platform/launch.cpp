#include "platform/launch.h"

#include <QProcess>

namespace bp {

bool startDetached(const QString& program, const QStringList& arguments, const QString& workingDir)
{
    if (program.isEmpty())
        return false;
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(workingDir);
    // The program gets nothing to read from us.
    process.setStandardInputFile(QProcess::nullDevice());
    return process.startDetached();
}

} // namespace bp
