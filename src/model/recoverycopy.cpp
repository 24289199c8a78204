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

} // namespace

TRecoveryCopy::TRecoveryCopy(const QString& path, const QByteArray& original)
{
    const QString dir = files::extractFilePath(path);
    const QString name = files::extractFileName(path);
    // The bits of owner, group and others; Qt's "user" bits tell what this
    // process may do, and would set the owner's bits.
    const QFileDevice::Permissions mode =
        QFile::permissions(path) &
        ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
    for (int number = 0; number <= kMaxNumbered && !FFile; ++number) {
        const QString candidate = copyName(dir, name, number);
        FFile = files::createInUseFile(candidate, mode);
        if (!FFile && !QFileInfo::exists(candidate) && !QFileInfo(candidate).isSymLink())
            break; // the directory takes no new file
    }
    if (!FFile)
        throw EBrewpadError(QStringLiteral("Cannot create a recovery copy of \"") + path +
                            QStringLiteral("\"."));
    FPath = FFile->fileName();
    if (FFile->write(original) != original.size() || !FFile->flush()) {
        const QString why = FFile->errorString();
        FFile.reset();
        QFile::remove(FPath);
        throw EBrewpadError(QStringLiteral("Cannot write the recovery copy \"") + FPath +
                            QStringLiteral("\". ") + why);
    }
}

TRecoveryCopy::~TRecoveryCopy() = default;

void TRecoveryCopy::remove()
{
    if (!FFile)
        return;
    // Deleted while still marked as in use, so that no other program takes
    // it for a left copy in between.
    QFile::remove(FPath);
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
        if (file.isEmpty() || info.isSymLink() || !info.isFile())
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
    files::writeAtomically(left.File, files::readAll(left.Copy));
    if (!QFile::remove(left.Copy))
        throw EBrewpadError(QStringLiteral("Cannot delete the recovery copy \"") + left.Copy +
                            QStringLiteral("\"."));
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
    const QString key = QDir::cleanPath(QFileInfo(dir.isEmpty() ? files::currentDir() : dir)
                                            .absoluteFilePath());
    if (FChecked.contains(key))
        return false;
    FChecked.insert(key);
    return true;
}

} // namespace bp
