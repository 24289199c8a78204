#include "model/recoverycopy.h"

#include "platform/errors.h"
#include "platform/fileservices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace bp {

namespace {

const QString kSuffix = QStringLiteral(".bprecover");
// Names tried after ".<name>.bprecover" is taken: a copy that an earlier
// compile left and the user kept.
constexpr int kMaxNumbered = 99;

QString copyName(const QString& dir, const QString& name, int number)
{
    return dir + QLatin1Char('.') + name + kSuffix +
           (number > 0 ? QString::number(number) : QString());
}

// The file a copy's name belongs to, or nothing when the name is none of ours.
QString fileOfCopy(const QString& copyName)
{
    const qsizetype at = copyName.lastIndexOf(kSuffix);
    if (!copyName.startsWith(QLatin1Char('.')) || at <= 1)
        return QString();
    for (qsizetype i = at + kSuffix.size(); i < copyName.size(); ++i)
        if (!copyName[i].isDigit())
            return QString();
    return copyName.mid(1, at - 1);
}

// The bits of owner, group and others; Qt's "user" bits tell what this
// process may do, and would set the owner's bits.
QFileDevice::Permissions OwnModeBits(const QString& path)
{
    return QFile::permissions(path) &
           ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
}

} // namespace

TRecoveryCopy::TRecoveryCopy(const QString& path, const QByteArray& bytes)
{
    const QString dir = files::extractFilePath(path);
    const QString name = files::extractFileName(path);
    // The name is reserved exclusively, and held as in use until the file
    // itself stands there, marked in its turn.
    std::unique_ptr<QFile> reserved;
    for (int number = 0; number <= kMaxNumbered && !reserved; ++number) {
        const QString candidate = copyName(dir, name, number);
        reserved =
            files::createInUseFile(candidate, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        if (!reserved && !QFileInfo::exists(candidate) && !QFileInfo(candidate).isSymLink())
            break; // the directory takes no new file
    }
    if (!reserved)
        throw EBrewpadError(QStringLiteral("Cannot create a recovery copy of \"") + path +
                            QStringLiteral("\"."));
    FPath = reserved->fileName();
    try {
        FFile = files::setAside(path, bytes, FPath);
    } catch (...) {
        reserved.reset();
        QFile::remove(FPath);
        throw;
    }
}

TRecoveryCopy::~TRecoveryCopy() = default;

void TRecoveryCopy::putBack(const QString& path)
{
    if (!FFile)
        return;
    files::putBack(*FFile, FPath, path);
    FFile.reset();
}

QList<TLeftRecoveryCopy> FindLeftRecoveryCopies(const QString& dir)
{
    QList<TLeftRecoveryCopy> left;
    const QDir folder(dir.isEmpty() ? files::currentDir() : dir);
    const QFileInfoList found = folder.entryInfoList({QStringLiteral(".*") + kSuffix + u'*'},
                                                     QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo& info : found) {
        const QString file = fileOfCopy(info.fileName());
        // A copy may be a symbolic link: the compile of a file reached
        // through one sets the link aside.
        if (file.isEmpty() || !info.isFile())
            continue;
        if (files::isInUse(info.absoluteFilePath()))
            continue;
        left << TLeftRecoveryCopy{QDir::toNativeSeparators(folder.absoluteFilePath(file)),
                                  QDir::toNativeSeparators(info.absoluteFilePath())};
    }
    return left;
}

void RestoreRecoveryCopy(const TLeftRecoveryCopy& left)
{
    if (QFileInfo::exists(left.File))
        QFile::setPermissions(left.Copy, OwnModeBits(left.File));
    files::moveOver(left.Copy, left.File);
}

QString RecoveryQuestion(const TLeftRecoveryCopy& left)
{
    return QLatin1Char('\'') + left.File +
           QStringLiteral("' holds the text that was being compiled when Brewpad stopped; its "
                          "saved content is in '") +
           left.Copy + QStringLiteral("'.\n\nPut the saved content back?");
}

bool TRecoveryChecks::First(const QString& dir)
{
    const QString key =
        QDir::cleanPath(QFileInfo(dir.isEmpty() ? files::currentDir() : dir).absoluteFilePath());
    if (FChecked.contains(key))
        return false;
    FChecked.insert(key);
    return true;
}

} // namespace bp
