#include "platform/childprocess.h"

#include <QProcess>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace bp {

void enlargeOutputPipe([[maybe_unused]] QProcess& process)
{
#if defined(Q_OS_UNIX) && defined(F_SETPIPE_SZ)
    // Runs in the child before it executes the tool; a refusal (a system
    // limit) leaves the pipe as it was.
    process.setChildProcessModifier([] { ::fcntl(STDOUT_FILENO, F_SETPIPE_SZ, 1 << 20); });
#endif
}

} // namespace bp
