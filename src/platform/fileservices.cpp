#include "platform/fileservices.h"

#include "platform/errors.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <cerrno>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_LINUX
#include <sys/vfs.h>
#endif
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace bp::files {

QChar separator()
{
    return QDir::separator();
}

QString exeSuffix()
{
#ifdef Q_OS_WIN
    return QStringLiteral(".exe");
#else
    return QString();
#endif
}

bool exists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo fi(path);
    return fi.exists() && !fi.isDir();
}

bool isDirectory(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool isReadOnly(const QString& path)
{
    const QFileInfo fi(path);
    if (!fi.exists())
        return true;
    if (!(fi.permissions() & QFileDevice::WriteOwner))
        return true;
#ifdef Q_OS_UNIX
    return ::access(QFile::encodeName(path).constData(), W_OK) != 0;
#else
    return !fi.isWritable();
#endif
}

QString exactName(const QString& path)
{
#ifdef Q_OS_WIN
    const QFileInfo fi(path);
    if (fi.exists()) {
        const QStringList hits = fi.dir().entryList({fi.fileName()}, QDir::AllEntries | QDir::Hidden);
        if (!hits.isEmpty())
            return QDir::toNativeSeparators(fi.dir().absolutePath() + QLatin1Char('/') + hits.first());
    }
#endif
    return path;
}

QString fullPath(const QString& path)
{
    if (path.isEmpty())
        return path;
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

static qsizetype lastSeparator(const QString& path)
{
    qsizetype i = path.lastIndexOf(QLatin1Char('/'));
#ifdef Q_OS_WIN
    i = std::max({i, path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char(':'))});
#endif
    return i;
}

QString extractFilePath(const QString& path)
{
    return path.left(lastSeparator(path) + 1);
}

QString extractFileName(const QString& path)
{
    return path.mid(lastSeparator(path) + 1);
}

QString extractFileExt(const QString& path)
{
    const qsizetype sep = lastSeparator(path);
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot <= sep)
        return QString();
    return path.mid(dot);
}

QString extractFileDir(const QString& path)
{
    QString dir = extractFilePath(path);
    if (dir.size() > 1 && dir.endsWith(separator()))
        dir.chop(1);
    return dir;
}

QString currentDir()
{
    return QDir::toNativeSeparators(QDir::currentPath());
}

bool setCurrentDir(const QString& dir)
{
    return !dir.isEmpty() && QDir::setCurrent(dir);
}

namespace {

// An advisory lock that marks a temporary file as in use while it is open;
// the system lets go of it when the file is closed or its program ends.
bool lockFile(QFile& file, bool exclusive)
{
#ifdef Q_OS_UNIX
    return ::flock(file.handle(), (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0;
#else
    // Elsewhere an open file cannot be deleted, which serves the same end.
    Q_UNUSED(file);
    Q_UNUSED(exclusive);
    return true;
#endif
}

} // namespace

bool isOrdinaryFile(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return false;
#ifdef Q_OS_LINUX
    struct statfs fs {};
    constexpr decltype(fs.f_type) ProcFs = 0x9fa0;
    constexpr decltype(fs.f_type) SysFs = 0x62656572;
    if (::statfs(QFile::encodeName(path).constData(), &fs) == 0 &&
        (fs.f_type == ProcFs || fs.f_type == SysFs))
        return false;
#endif
    return true;
}

bool isUsersOwnFile(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    // A group that may write counts as others unless it is the user's own
    // (many systems give each user a group of their own and files it may
    // write).
    const bool groupWrites = (st.st_mode & S_IWGRP) && st.st_gid != ::getegid();
    return st.st_uid == ::geteuid() && !(st.st_mode & S_IWOTH) && !groupWrites;
#else
    Q_UNUSED(path);
    return true;
#endif
}

std::unique_ptr<QFile> createTempFile(const QString& dir, const QString& prefix,
                                      const QString& suffix)
{
    QString base = dir.isEmpty() ? currentDir() : dir;
    if (!base.endsWith(separator()) && !base.endsWith(QLatin1Char('/')))
        base += separator();
    if (!QFileInfo(base).isDir())
        return nullptr;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const quint32 n = QRandomGenerator::global()->bounded(0x1000u, 0xFFFFFFFFu);
        auto file = std::make_unique<QFile>(base + prefix + QString::number(n, 16).toUpper() +
                                            suffix);
        if (file->open(QIODevice::WriteOnly | QIODevice::NewOnly,
                       QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
            lockFile(*file, false);
            return file;
        }
        if (!file->exists())
            return nullptr; // the directory takes no new file
    }
    return nullptr;
}

void removeStaleTempFiles(const QString& dir, const QString& prefix, qint64 maxAgeSeconds)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QFileInfoList found =
        QDir(dir.isEmpty() ? currentDir() : dir)
            .entryInfoList({prefix + QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden);
    for (const QFileInfo& info : found) {
        if (!info.isFile() || info.isSymLink() ||
            info.lastModified().toUTC().secsTo(now) < maxAgeSeconds)
            continue;
        QFile file(info.absoluteFilePath());
        if (file.open(QIODevice::ReadOnly) && lockFile(file, true))
            QFile::remove(info.absoluteFilePath());
    }
}

std::unique_ptr<QFile> createInUseFile(const QString& path, QFileDevice::Permissions permissions)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::NewOnly, permissions))
        return nullptr;
    // Created under the umask; the caller asked for these bits exactly.
    if (!file->setPermissions(permissions) || !lockFile(*file, false)) {
        file->close();
        QFile::remove(path);
        return nullptr;
    }
    return file;
}

bool isInUse(const QString& path)
{
    QFile file(path);
    return !file.open(QIODevice::ReadOnly) || !lockFile(file, true);
}

FileStamp fileStamp(const QString& path)
{
    FileStamp stamp;
    if (path.isEmpty())
        return stamp;
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return stamp;
    stamp.Exists = true;
    stamp.Size = qint64(st.st_size);
    stamp.ModifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + qint64(st.st_mtim.tv_nsec);
    stamp.Device = quint64(st.st_dev);
    stamp.Inode = quint64(st.st_ino);
#else
    // Without stat's fields: the time in milliseconds, and no inode.
    const QFileInfo info(path);
    if (!info.isFile())
        return stamp;
    stamp.Exists = true;
    stamp.Size = info.size();
    stamp.ModifiedNs = info.lastModified().toMSecsSinceEpoch() * 1000000;
#endif
    return stamp;
}

bool samePath(const QString& a, const QString& b)
{
#ifdef Q_OS_WIN
    return a.compare(b, Qt::CaseInsensitive) == 0;
#else
    return a == b;
#endif
}

namespace {

// 'Cannot <verb> file "<path>". <Why>.': the system's reason ("no space left
// on device", "file to open is a directory") made a sentence of its own.
EBrewpadError fileError(const char* verb, const QString& path, QString why)
{
    if (!why.isEmpty()) {
        why[0] = why[0].toUpper();
        if (!why.endsWith(QLatin1Char('.')))
            why += QLatin1Char('.');
    }
    return EBrewpadError(QStringLiteral("Cannot ") + QLatin1String(verb) +
                         QStringLiteral(" file \"") + path + QStringLiteral("\". ") + why);
}

[[noreturn]] void failWrite(const QString& path, const QString& why)
{
    throw fileError("write", path, why);
}

} // namespace

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (!QFileInfo::exists(path))
            throw cantFind(path);
        throw fileError("open", path, f.errorString());
    }
    QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw fileError("read", path, f.errorString());
    return bytes;
}

namespace {

// Writes a file that has more names than one into the file itself, so that
// every name sees the new text. A safety copy of the old bytes is made first
// and removed once the write succeeded; a failed write puts the old bytes
// back (or, when even that fails, says where the safety copy is).
void writeInPlace(const QString& path, const QByteArray& bytes)
{
    const QByteArray old = readAll(path);
    const std::unique_ptr<QFile> safety = createTempFile(extractFileDir(path), QStringLiteral("bpd"));
    if (!safety || safety->write(old) != old.size() || !safety->flush()) {
        // A copy that did not take the old bytes is no copy: it must not
        // stay beside the file. (Closed first: QFile::remove() on the open
        // file gives up when its close cannot write the buffer out.)
        if (safety) {
            safety->close();
            QFile::remove(safety->fileName());
        }
        failWrite(path, QStringLiteral("No room for a safety copy of it."));
    }
    safety->close();
    const auto writeAll = [&path](const QByteArray& data) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               f.write(data) == data.size() && f.flush() && f.error() == QFileDevice::NoError;
    };
    if (writeAll(bytes)) {
        QFile::remove(safety->fileName());
        return;
    }
    if (writeAll(old)) {
        QFile::remove(safety->fileName());
        failWrite(path, QStringLiteral("Its old text was put back."));
    }
    failWrite(path, QStringLiteral("Its old text is in \"") + safety->fileName() +
                        QStringLiteral("\"."));
}

} // namespace

void writeAtomically(const QString& path, const QByteArray& bytes)
{
#ifdef Q_OS_UNIX
    // What the file was (through a symbolic link: its target), so that the
    // new file keeps its owner and every mode bit, and a file with several
    // names keeps them all.
    struct stat before {};
    const QByteArray native = QFile::encodeName(path);
    const bool existed = ::stat(native.constData(), &before) == 0 && S_ISREG(before.st_mode);
    if (existed && before.st_nlink > 1) {
        writeInPlace(path, bytes);
        return;
    }
#endif
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        throw fileError("create", path, f.errorString());
    // QSaveFile::commit() can report success after its last buffered write
    // failed (a full disk): the flush is checked first, so the old file
    // stays whole instead.
    if (f.write(bytes) != bytes.size() || !f.flush() || !f.commit())
        failWrite(path, f.errorString());
#ifdef Q_OS_UNIX
    if (existed) {
        // The owner where this process may give it (the owner first: that
        // clears the set-id bits), then the whole mode, set-id bits included.
        if (::chown(native.constData(), before.st_uid, before.st_gid) != 0) {
            // Not permitted: the file stays the user's own.
        }
        ::chmod(native.constData(), before.st_mode & 07777);
    }
#endif
}

namespace {

std::filesystem::path fsPath(const QString& path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

// Moves a file (or a link) to another name in its folder, replacing what
// stands there, in one step.
bool renameOver(const QString& from, const QString& to, QString* why = nullptr)
{
    std::error_code error;
    std::filesystem::rename(fsPath(from), fsPath(to), error);
    if (error && why)
        *why = QString::fromLocal8Bit(error.message());
    return !error;
}

} // namespace

std::unique_ptr<QFile> setAside(const QString& path, const QByteArray& bytes,
                                const QString& place)
{
    const QString dir = extractFileDir(fullPath(path));
    // The file is marked as in use before it moves, so that no other program
    // ever sees it under its new name unmarked and takes it for one left
    // behind.
    auto kept = std::make_unique<QFile>(place);
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw fileError("open", path, qt_error_string(errno));
    if (!kept->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw fileError("open", path, kept->errorString());
    }
    lockFile(*kept, false);
#endif
    // The text stands in for the file with the file's mode.
    const QFileDevice::Permissions mode =
        QFile::permissions(path) &
        ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
    const std::unique_ptr<QFile> fresh = createTempFile(dir, QStringLiteral("bpd"));
    if (!fresh)
        throw fileError("create", path, QStringLiteral("Its folder takes no new file"));
    if (fresh->write(bytes) != bytes.size() || !fresh->flush()) {
        const QString why = fresh->errorString();
        fresh->close();
        QFile::remove(fresh->fileName());
        failWrite(path, why);
    }
    fresh->setPermissions(mode);
    fresh->close();
    QString why;
    if (!renameOver(path, place, &why)) {
        QFile::remove(fresh->fileName());
        failWrite(path, why);
    }
    if (!renameOver(fresh->fileName(), path, &why)) {
        renameOver(place, path);
        QFile::remove(fresh->fileName());
        failWrite(path, why);
    }
#ifndef Q_OS_UNIX
    if (kept->open(QIODevice::ReadOnly))
        lockFile(*kept, false);
#endif
    return kept;
}

void moveOver(const QString& from, const QString& to)
{
    QString why;
    if (!renameOver(from, to, &why))
        failWrite(to, why);
}

void putBack(QFile& kept, const QString& place, const QString& path)
{
    if (!renameOver(place, path))
        failWrite(path, QStringLiteral("Its own text is in \"") + place + QLatin1Char('"'));
    kept.close();
}

} // namespace bp::files
