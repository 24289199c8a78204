#include "model/document.h"

#include "model/project.h"
#include "platform/errors.h"
#include "platform/fileservices.h"

#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace bp {

std::unique_ptr<TDocument> TDocument::CreateNew(int Number, TDocType DocType)
{
    std::unique_ptr<TDocument> doc(new TDocument);
    doc->FPath = files::currentDir();
    doc->FDocType = DocType;
    doc->FTitle = QStringLiteral("New_") + QString::number(Number) + QLatin1Char('.') +
                  DocTypeExtension(DocType);
    doc->FModified = true;
    doc->FAddsFinalLineEnd = true;
    return doc;
}

std::unique_ptr<TDocument> TDocument::CreateFromFile(const QString& FullPath)
{
    if (!files::exists(FullPath))
        throw cantFind(FullPath);
    std::unique_ptr<TDocument> doc(new TDocument);
    doc->SetFileName(FullPath);
    return doc;
}

TDocument::~TDocument()
{
    // A project must never keep a pointer to a destroyed document.
    if (FProject)
        FProject->DetachDocument(this);
}

void TDocument::SetFileName(const QString& FullPath)
{
    if (!files::exists(FullPath))
        throw cantFind(FullPath);
    const QString oldPath = this->FullPath();
    FFileName = files::extractFileName(FullPath);
    FPath = files::extractFilePath(FullPath);
    FDocType = DocTypeOfExtension(files::extractFileExt(FFileName));
    FTitle = FFileName;
    FIsNew = false;
    FModified = false;
    RecordDiskState();
    if (FOnNameChange)
        FOnNameChange(this, FFileName);
    // The project's entry is found by the document itself rather than by
    // its old name, so that two entries of the same name cannot be mixed up.
    if (FProject) {
        const int index = FProject->Documents().IndexOfDocument(this);
        if (index >= 0) {
            // The project file lists each document's path: a new one must be
            // written there.
            if (this->FullPath() != oldPath)
                FProject->RenameEntry(index, FFileName);
            FProject->NotifyChange();
        }
    }
}

void TDocument::Rename(const QString& NewName)
{
    if (NewName.isEmpty() || NewName == FFileName)
        return;
    if (files::extractFileName(NewName) != NewName)
        throw EBrewpadError(QLatin1Char('\'') + NewName +
                            QStringLiteral("' is not a valid file name."));

    const QString ext = files::extractFileExt(NewName);
    const QString newName =
        NewName.left(NewName.size() - ext.size()) + QLatin1Char('.') + DocTypeExtension(FDocType);
    if (newName == FFileName)
        return;

    const QString oldPath = FullPath();
    const QString newPath = FPath + newName;
    if (FFileName.isEmpty() || !files::exists(oldPath))
        throw cantFind(oldPath);

    // Renamed, not copied: the file keeps its mode, owner and other names.
    // Only the letter case may change on a file system that ignores it.
    if (!files::samePath(oldPath, newPath) && QFileInfo::exists(newPath))
        throw EBrewpadError(QLatin1Char('\'') + newPath + QStringLiteral("' already exists."));
    const bool recorded = DiskState() == TDiskState::Unchanged;
    if (!QFile::rename(oldPath, newPath))
        throw EBrewpadError(QStringLiteral("Cannot rename '") + oldPath + QStringLiteral("' to '") +
                            newPath + QLatin1Char('\''));
    FFileName = newName;
    // The same file under a new name: as recorded it stays so, and a change
    // another program made before still shows.
    if (recorded)
        RecordDiskState();
    if (FOnNameChange)
        FOnNameChange(this, FFileName);
}

void TDocument::LoadPieces(const std::function<void(qint64)>& begin, const TTextPieceSink& piece)
{
    // Taken before the read: a change made while reading shows as a change
    // later rather than being taken for what was read.
    const files::FileStamp stamp = files::fileStamp(FullPath());
    // A read that fails partway leaves the record of the text shown before.
    TLineEnds lineEnds;
    FFormat = readTextFile(FullPath(), begin, piece, &lineEnds);
    FLineEnds = std::move(lineEnds);
    FAddsFinalLineEnd = false;
    FDiskStamp = stamp;
}

namespace {

// The file bytes of an editor text in a format, which follows the bytes
// (Latin-1 becomes UTF-8 when the text needs it), with the lines' own line
// ends where the record has them (it becomes the record of the bytes).
QByteArray bytesToSave(const QByteArray& utf8, bool addFinalLineEnd, TTextFormat& format,
                       TLineEnds& lineEnds)
{
    if (addFinalLineEnd && !utf8.isEmpty() && !utf8.endsWith('\n') && !utf8.endsWith('\r'))
        return fileBytesFromEditorUtf8(utf8 + '\n', format, nullptr, &lineEnds);
    return fileBytesFromEditorUtf8(utf8, format, nullptr, &lineEnds);
}

} // namespace

QByteArray TDocument::Utf8BytesToSave(const QByteArray& utf8) const
{
    TTextFormat format = FFormat;
    TLineEnds lineEnds = FLineEnds;
    return bytesToSave(utf8, FAddsFinalLineEnd, format, lineEnds);
}

void TDocument::WriteUtf8(const QString& fullPath, const QByteArray& utf8)
{
    TTextFormat written = FFormat;
    TLineEnds writtenEnds = FLineEnds;
    files::writeAtomically(fullPath, bytesToSave(utf8, FAddsFinalLineEnd, written, writtenEnds));
    FFormat = written;
    FLineEnds = std::move(writtenEnds);
}

void TDocument::SaveFromUtf8(const QByteArray& utf8)
{
    WriteUtf8(FullPath(), utf8);
    FIsNew = false;
    FModified = false;
    RecordDiskState();
}

TDiskState TDocument::DiskState() const
{
    if (FIsNew)
        return TDiskState::Unchanged;
    const files::FileStamp now = files::fileStamp(FullPath());
    if (!now.Exists)
        return TDiskState::Gone;
    return now == FDiskStamp ? TDiskState::Unchanged : TDiskState::Changed;
}

void TDocument::RecordDiskState()
{
    FDiskStamp = files::fileStamp(FullPath());
}

// TDocumentList

void TDocumentList::check(int index) const
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("TDocumentList: index out of range");
}

int TDocumentList::Add(const QString& name, TDocument* doc)
{
    if (!doc)
        throw EBrewpadError(QStringLiteral("not a TDocument"));
    FItems.push_back({name, doc, QString()});
    indexAppended();
    return Count() - 1;
}

int TDocumentList::AddWithoutDocument(const QString& name, const QString& path)
{
    FItems.push_back({name, nullptr, path});
    indexAppended();
    return Count() - 1;
}

void TDocumentList::indexAppended()
{
    if (FByNameValid)
        FByName[FItems.back().Name.toCaseFolded()].push_back(Count() - 1);
}

void TDocumentList::Delete(int index)
{
    check(index);
    FItems.erase(FItems.begin() + index);
    FByNameValid = false;
}

void TDocumentList::Clear()
{
    FItems.clear();
    FByName.clear();
    FByNameValid = false;
}

QString TDocumentList::Name(int index) const
{
    check(index);
    return FItems[std::size_t(index)].Name;
}

void TDocumentList::SetName(int index, const QString& name)
{
    check(index);
    FItems[std::size_t(index)].Name = name;
    FByNameValid = false;
}

TDocument* TDocumentList::Document(int index) const
{
    check(index);
    return FItems[std::size_t(index)].Document;
}

void TDocumentList::SetDocument(int index, TDocument* doc)
{
    check(index);
    FItems[std::size_t(index)].Document = doc;
}

QString TDocumentList::ListedPath(int index) const
{
    check(index);
    return FItems[std::size_t(index)].ListedPath;
}

int TDocumentList::IndexOf(const QString& name, Qt::CaseSensitivity cs, bool withDocument) const
{
    if (!FByNameValid) {
        FByName.clear();
        FByName.reserve(Count());
        for (int i = 0; i < Count(); ++i)
            FByName[FItems[std::size_t(i)].Name.toCaseFolded()].push_back(i);
        FByNameValid = true;
    }
    const auto found = FByName.constFind(name.toCaseFolded());
    if (found == FByName.cend())
        return -1;
    for (const int i : *found) {
        const TEntry& entry = FItems[std::size_t(i)];
        if ((!withDocument || entry.Document) && entry.Name.compare(name, cs) == 0)
            return i;
    }
    return -1;
}

int TDocumentList::IndexOfDocument(const TDocument* doc) const
{
    for (int i = 0; i < Count(); ++i) {
        if (FItems[std::size_t(i)].Document == doc)
            return i;
    }
    return -1;
}

} // namespace bp
