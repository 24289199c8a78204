#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <memory>

class QFile;

namespace bp::files {

// The directory separator as the program writes it into paths.
QChar separator();

// The platform's executable suffix: ".exe" on Windows, empty elsewhere.
QString exeSuffix();

bool exists(const QString& path);
bool isDirectory(const QString& path);
// A file whose bytes are its content: a regular file, not a device, pipe,
// socket or folder, and not one of the system's generated files (/proc,
// /sys), which may never end or block when read.
bool isOrdinaryFile(const QString& path);
// Whether a file is the user's own and nobody else may change it, so that
// the programs it names can be trusted. Where the system has no owners and
// modes, every file is.
bool isUsersOwnFile(const QString& path);

// A file counts as read-only when it cannot be examined, when its owner-write
// bit is clear, or when this user cannot write it. Checking the owner bit
// keeps the answer honest for a user (such as root) who may write anything.
bool isReadOnly(const QString& path);

// The name as the file system stores it; on Linux an existing name is
// already exact, and a missing one is returned unchanged.
QString exactName(const QString& path);

// The absolute form of a path, without resolving links.
QString fullPath(const QString& path);

// Directory part including the trailing separator ("" for a bare name).
QString extractFilePath(const QString& path);
// Name part after the last separator.
QString extractFileName(const QString& path);
// Extension including its dot, from the last dot of the name part ("" if none).
QString extractFileExt(const QString& path);
// Directory without its trailing separator.
QString extractFileDir(const QString& path);

QString currentDir();
bool setCurrentDir(const QString& dir);

// Creates a new, empty, uniquely named file "<dir>/<prefix><hex><suffix>"
// exclusively, readable and writable by the user alone, and returns it open
// for writing: what is written goes into the very file that was made, never
// into one opened again by its name. While it is open, other programs see it
// in use (see removeStaleTempFiles). Null when the directory takes no file.
std::unique_ptr<QFile> createTempFile(const QString& dir,
                                      const QString& prefix = QStringLiteral("bpd"),
                                      const QString& suffix = QStringLiteral(".tmp"));

// Removes the "<prefix>*.tmp" files in dir that a program which ended
// without cleaning up left behind: those unchanged for maxAgeSeconds and
// open in no running program.
void removeStaleTempFiles(const QString& dir, const QString& prefix, qint64 maxAgeSeconds);

// Creates a file at path exclusively (never over an existing file: null when
// the name is taken or the directory takes no file) with the given
// permissions, umask aside, and returns it open for writing and marked as in
// use (see isInUse) until it is closed or its program ends.
std::unique_ptr<QFile> createInUseFile(const QString& path, QFileDevice::Permissions permissions);

// Whether a running program holds the file as in use (createTempFile,
// createInUseFile). A file that cannot be opened counts as in use: it is
// nobody's to touch.
bool isInUse(const QString& path);
// What the file system says of a file at one moment: enough to tell later
// whether another program changed or replaced it. Exists is true for a
// regular file only (through a symbolic link: its target); the other fields
// are then its size, modification time in nanoseconds since the epoch, and
// device and inode (a file replaced by renaming another over it gets a new
// inode even where size and time happen to agree).
struct FileStamp {
    bool Exists = false;
    qint64 Size = 0;
    qint64 ModifiedNs = 0;
    quint64 Device = 0;
    quint64 Inode = 0;

    bool operator==(const FileStamp&) const = default;
};

// The file's stamp now; a missing file, or anything that is not a regular
// file, gives a stamp that does not exist.
FileStamp fileStamp(const QString& path);

// Compares two paths as the file system does: exactly on Linux, ignoring
// case on Windows.
bool samePath(const QString& a, const QString& b);

// Reads a whole file; throws EBrewpadError with a readable message on failure.
QByteArray readAll(const QString& path);

// Replaces a whole file atomically (QSaveFile): on failure the old file stays
// whole and an EBrewpadError is thrown.
void writeAtomically(const QString& path, const QByteArray& bytes);

// Puts bytes at path (with the file's mode) for a while and keeps the file
// that stood there under the name place beside it, which the caller has
// reserved (see createInUseFile). The kept file is returned open and marked
// as in use (see isInUse) from before it moved. Putting it back is then a
// rename, which needs no room on the disk and keeps the file's mode, owner
// and other names; through a symbolic link, the link itself is set aside and
// its target not touched. Throws EBrewpadError when the bytes cannot be put
// there; the file is still in its place then.
std::unique_ptr<QFile> setAside(const QString& path, const QByteArray& bytes,
                                const QString& place);
// Puts a file that setAside kept at place back at path, replacing what
// stands there now, and lets go of it. Throws EBrewpadError, naming where
// the file is kept, when it cannot.
void putBack(QFile& kept, const QString& place, const QString& path);
// Moves a file to another name in its folder, replacing what stands there,
// in one step. Throws EBrewpadError when it cannot.
void moveOver(const QString& from, const QString& to);

} // namespace bp::files
