#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <optional>
#include <utility>

namespace bp::test {

// A private world for one test: a temporary directory that is the current
// directory while the object lives, with the settings store pointed at a file
// inside it. Nothing touches the user's real settings.
class TestEnv {
public:
    TestEnv();
    ~TestEnv();

    QString dir() const { return FDir.path(); }
    // Absolute path of a name inside the directory.
    QString path(const QString& name) const;
    QString storeFile() const;
    // Writes bytes to a file in the directory (creating folders) and returns its path.
    QString writeFile(const QString& name, const QByteArray& bytes) const;
    static QByteArray readFile(const QString& path);
    // Writes a shell script ("#!/bin/sh" and body) that only the user may
    // run, and returns its path.
    QString writeScript(const QString& name, const QByteArray& body) const;
    // A script line that waits until the file at path exists.
    static QByteArray waitForFile(const QString& path);
    // Rewrites an existing file in place as another program would, and dates it a day
    // back, so that the change shows even within the second of the last write and where
    // the size stays.
    static void changeOutside(const QString& path, const QByteArray& bytes);

private:
    QTemporaryDir FDir;
    QString FOldCurrent;
};

// Sets or removes environment variables while the object lives, then puts
// back what they were.
class EnvironmentScope {
public:
    EnvironmentScope() = default;
    ~EnvironmentScope();
    EnvironmentScope(const EnvironmentScope&) = delete;
    EnvironmentScope& operator=(const EnvironmentScope&) = delete;

    void set(const char* name, const QString& value);
    void unset(const char* name);

private:
    void remember(const char* name);
    QList<std::pair<QByteArray, std::optional<QByteArray>>> FOld;
};

} // namespace bp::test
