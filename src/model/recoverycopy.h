#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>

#include <memory>

class QFile;

namespace bp {

// A file's own bytes kept beside it while a compile has put the editor's text
// into it, so that a program killed in the middle of a compile loses
// nothing: the copy is offered back at the next start. The copy is a hidden
// file of ours, ".<name>.bprecover" (a number follows when that is taken),
// with the file's mode bits, marked as in use while the compile runs.
class TRecoveryCopy {
public:
    // Makes the copy of original, the bytes of the file at path, exclusively
    // and written through its handle. Throws EBrewpadError when it cannot be
    // made or written; nothing is left behind then.
    TRecoveryCopy(const QString& path, const QByteArray& original);
    // Lets go of the copy, which stays unless remove() ran: a file that could
    // not be put back keeps its copy for the next start.
    ~TRecoveryCopy();
    TRecoveryCopy(const TRecoveryCopy&) = delete;
    TRecoveryCopy& operator=(const TRecoveryCopy&) = delete;

    QString path() const { return FPath; }
    // Deletes the copy once its file holds its own bytes again.
    void remove();

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

// Puts the copy's bytes back into its file (atomically, keeping the file's
// mode) and deletes the copy. Throws EBrewpadError when that fails; the copy
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
