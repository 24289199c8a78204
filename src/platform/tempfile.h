#pragma once

#include <QFile>
#include <QString>

#include <utility>

namespace bp {

// Deletes a temporary file when it goes out of scope, also when an error
// ends the work early, unless the file was handed over with release(). An
// empty path guards nothing.
class TTempFileGuard {
public:
    explicit TTempFileGuard(QString path) : FPath(std::move(path)) {}
    ~TTempFileGuard()
    {
        if (!FPath.isEmpty())
            QFile::remove(FPath);
    }
    TTempFileGuard(const TTempFileGuard&) = delete;
    TTempFileGuard& operator=(const TTempFileGuard&) = delete;

    const QString& path() const { return FPath; }
    // Keeps the file: its new owner deletes it.
    QString release() { return std::exchange(FPath, QString()); }

private:
    QString FPath;
};

} // namespace bp
