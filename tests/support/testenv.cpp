#include "support/testenv.h"

#include "platform/registry.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace bp::test {

TestEnv::TestEnv() : FOldCurrent(QDir::currentPath())
{
    Q_ASSERT(FDir.isValid());
    QDir::setCurrent(FDir.path());
    Registry::setStoreFile(storeFile());
}

TestEnv::~TestEnv()
{
    Registry::setStoreFile(QString());
    QDir::setCurrent(FOldCurrent);
    // Removal is recursive: never let it reach outside the system's temporary
    // folder, whatever a faulty test may have done to the object.
    if (!QDir::cleanPath(FDir.path()).startsWith(QDir::cleanPath(QDir::tempPath()) + QLatin1Char('/')))
        FDir.setAutoRemove(false);
}

QString TestEnv::path(const QString& name) const
{
    return FDir.filePath(name);
}

QString TestEnv::storeFile() const
{
    return FDir.filePath(QStringLiteral("store/Brewpad.conf"));
}

QString TestEnv::writeFile(const QString& name, const QByteArray& bytes) const
{
    const QString p = path(name);
    QDir().mkpath(QFileInfo(p).absolutePath());
    QFile f(p);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write test file %s", qPrintable(p));
    return p;
}

QString TestEnv::writeScript(const QString& name, const QByteArray& body) const
{
    const QString p = writeFile(name, "#!/bin/sh\n" + body);
    if (!QFile::setPermissions(p, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        qFatal("cannot make %s executable", qPrintable(p));
    return p;
}

QByteArray TestEnv::waitForFile(const QString& path)
{
    return "while [ ! -e '" + QFile::encodeName(path) + "' ]; do sleep 0.02; done\n";
}

QByteArray TestEnv::readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void TestEnv::changeOutside(const QString& path, const QByteArray& bytes)
{
    const QDateTime before = QFileInfo(path).lastModified();
    QFile f(path);
    if (!f.exists() || !f.open(QIODevice::ReadWrite | QIODevice::Truncate) ||
        f.write(bytes) != bytes.size() ||
        !f.setFileTime(before.addDays(-1), QFileDevice::FileModificationTime))
        qFatal("cannot change test file %s", qPrintable(path));
}

EnvironmentScope::~EnvironmentScope()
{
    // Newest first, so that a variable set twice gets its first value back.
    for (auto it = FOld.crbegin(); it != FOld.crend(); ++it) {
        if (it->second)
            qputenv(it->first.constData(), *it->second);
        else
            qunsetenv(it->first.constData());
    }
}

void EnvironmentScope::remember(const char* name)
{
    FOld.append({QByteArray(name), qEnvironmentVariableIsSet(name)
                                       ? std::optional<QByteArray>(qgetenv(name))
                                       : std::nullopt});
}

void EnvironmentScope::set(const char* name, const QString& value)
{
    remember(name);
    qputenv(name, QFile::encodeName(value));
}

void EnvironmentScope::unset(const char* name)
{
    remember(name);
    qunsetenv(name);
}

} // namespace bp::test

