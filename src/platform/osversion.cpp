#include "platform/osversion.h"

#include <QOperatingSystemVersion>
#include <QSysInfo>

namespace bp {

namespace {
int& testVersion()
{
    static int v = -1;
    return v;
}
} // namespace

int osMajorVersion()
{
    if (testVersion() >= 0)
        return testVersion();
#ifdef Q_OS_WIN
    return QOperatingSystemVersion::current().majorVersion();
#else
    // The kernel version reads "6.1.0-18-amd64" and the like.
    const QString kernel = QSysInfo::kernelVersion();
    bool ok = false;
    const int major = kernel.section(QLatin1Char('.'), 0, 0).toInt(&ok);
    return ok ? major : 0;
#endif
}

void setOsMajorVersionForTesting(int major)
{
    testVersion() = major;
}

} // namespace bp
