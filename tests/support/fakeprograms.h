#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QtTest>

namespace bp::test {

// Writes a stand-in for a program into dir: a script that records the
// folder it runs in, then each of its arguments, one a line, into the file
// named by $BP_RECORD. The record appears whole (written aside, then
// renamed), so a test may wait for it to exist. Returns the script's path.
inline QString writeRecorder(const QString& dir, const QString& name)
{
    QDir().mkpath(dir);
    const QString path = QDir(dir).filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    f.write("#!/bin/sh\n"
            "out=\"$BP_RECORD\"\n"
            "{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > \"$out.part\"\n"
            "mv \"$out.part\" \"$out\"\n");
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    return path;
}

// Where the next recording goes; any earlier one there is removed.
inline void recordInto(const QString& path)
{
    QFile::remove(path);
    qputenv("BP_RECORD", QFile::encodeName(path));
}

// The recorded lines: the working folder, then the arguments.
inline QStringList readRecord(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Puts dir first on PATH while the object lives.
class PathFirst {
public:
    explicit PathFirst(const QString& dir) : FOld(qgetenv("PATH"))
    {
        qputenv("PATH", QFile::encodeName(dir) + ':' + FOld);
    }
    ~PathFirst() { qputenv("PATH", FOld); }
    PathFirst(const PathFirst&) = delete;
    PathFirst& operator=(const PathFirst&) = delete;

private:
    QByteArray FOld;
};

// Points the XDG folders at home/config, sys/config (the system's
// configuration), home/data and sys/data below root while the object lives,
// so that no association of the machine takes part.
class XdgScope {
public:
    explicit XdgScope(const QString& root)
    {
        set("XDG_CONFIG_HOME", root + QStringLiteral("/home/config"));
        set("XDG_CONFIG_DIRS", root + QStringLiteral("/sys/config"));
        set("XDG_DATA_HOME", root + QStringLiteral("/home/data"));
        set("XDG_DATA_DIRS", root + QStringLiteral("/sys/data"));
    }
    ~XdgScope()
    {
        for (const auto& [name, value] : FOld) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
    }
    XdgScope(const XdgScope&) = delete;
    XdgScope& operator=(const XdgScope&) = delete;

private:
    void set(const char* name, const QString& dir)
    {
        FOld.append({name, qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray()});
        QDir().mkpath(dir);
        qputenv(name, QFile::encodeName(dir));
    }
    QList<std::pair<const char*, QByteArray>> FOld;
};

} // namespace bp::test
