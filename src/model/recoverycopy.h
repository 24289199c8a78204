#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>

#include <memory>

class QFile;

namespace bp {

// A file kept beside itself while a compile has put the editor's text in its
// place, so that a program killed in the middle of a compile loses nothing:
// the kept file is offered back at the next start. It is the file itself,
// moved aside (files::setAside: its bytes, mode, owner and other names stay
// as they were, and moving it back needs no room on the disk), under a
// hidden name of ours, ".<name>.bprecover" (a number follows when that is
// taken), reserved exclusively and marked as in use while the compile runs.
class TRecoveryCopy {
public:
    // Sets the file at path aside and puts bytes in its place. Throws
    // EBrewpadError when that cannot be done; the file is in its place and
    // no copy is left then.
    TRecoveryCopy(const QString& path, const QByteArray& bytes);
    // Lets go of the copy, which stays unless putBack() ran: a file that
    // could not be put back keeps its copy for the next start.
    ~TRecoveryCopy();
    TRecoveryCopy(const TRecoveryCopy&) = delete;
    TRecoveryCopy& operator=(const TRecoveryCopy&) = delete;

    QString path() const { return FPath; }
    // Moves the file back to path (once). Throws EBrewpadError, naming where
    // the file is kept, when it cannot; the copy stays then.
    void putBack(const QString& path);

private:
    QString FPath;
    std::unique_ptr<QFile> FFile;
};

// A recovery copy that an ended compile left behind.
struct TLeftRecoveryCopy {
    QString File; // the file the copy belongs to
    QString Copy;

    friend bool operator==(const TLeftRecoveryCopy&, const TLeftRecoveryCopy&) = default;
};

// The recovery copies in dir whose compile is over, by name: copies that a
// running compile (of this or another program) holds are not among them.
QList<TLeftRecoveryCopy> FindLeftRecoveryCopies(const QString& dir);

// Puts the copy back in its file's place (atomically, keeping the mode the
// file has now), which leaves no copy. Throws EBrewpadError when that fails; the copy
// stays then.
void RestoreRecoveryCopy(const TLeftRecoveryCopy& left);

// The question that offers a left copy back.
QString RecoveryQuestion(const TLeftRecoveryCopy& left);

// The directories whose left copies were offered in this run of the
// program: each is offered once per run (at start, or before the first
// compile there).
class TRecoveryChecks {
public:
    // True the first time dir is named.
    bool First(const QString& dir);

private:
    QSet<QString> FChecked;
};

} // namespace bp
