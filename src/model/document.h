#pragma once

#include "model/brewpaddefs.h"
#include "model/textfile.h"
#include "platform/fileservices.h"

#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace bp {

class TProject;
class TDocument;

// Called after a document's FileName has changed, with the new name.
using TNameChangeEvent = std::function<void(TDocument* sender, const QString& newFileName)>;

// How a document's file on disk compares with the file as the document last
// read or wrote it.
enum class TDiskState {
    Unchanged, // as recorded, or a new document with nothing to compare
    Changed,   // another program wrote or replaced it
    Gone,      // deleted, or replaced by something that is not a file
};

// One document: its file (directory and name), type, title and flags. A
// document in a project is owned by the project; one outside any project by
// the editor window that shows it.
class TDocument {
public:
    // A new, never-saved document titled "New_<number>.<ext>", its Path the
    // current directory.
    static std::unique_ptr<TDocument> CreateNew(int Number, TDocType DocType);
    // A document for an existing file; throws "Can't find '<path>'" otherwise.
    static std::unique_ptr<TDocument> CreateFromFile(const QString& FullPath);

    ~TDocument();
    TDocument(const TDocument&) = delete;
    TDocument& operator=(const TDocument&) = delete;

    TDocType DocType() const { return FDocType; }
    // Changes the type only: file name, extension and title stay.
    void SetDocType(TDocType type) { FDocType = type; }
    QString FileName() const { return FFileName; }
    QString Path() const { return FPath; }
    // Path followed by FileName.
    QString FullPath() const { return FPath + FFileName; }
    QString Title() const { return FTitle; }
    bool IsNew() const { return FIsNew; }
    bool Modified() const { return FModified; }

    TProject* Project() const { return FProject; }
    // Set by the project that lists the document (not owned).
    void SetProject(TProject* project) { FProject = project; }

    bool IsOpen() const { return FIsOpen; }
    // Set and cleared by the editor window that shows the document.
    void SetIsOpen(bool open) { FIsOpen = open; }

    void SetOnNameChange(TNameChangeEvent handler) { FOnNameChange = std::move(handler); }

    // Gives the document an existing file (after a save-as, or on creation):
    // name, directory, type from the extension, title; clears IsNew and
    // Modified, and renames the document's entry in its project.
    void SetFileName(const QString& FullPath);

    // Renames the document's file within its directory, forcing the
    // extension to match the type. The bytes are copied unchanged. Refuses
    // (EBrewpadError) to replace another existing file.
    void Rename(const QString& NewName);

    // How the file's text is stored (encoding, line ends): what it was read
    // with, and what saves write. A new document has UTF-8 and the
    // platform's line end.
    const TTextFormat& Format() const { return FFormat; }
    // Reads the file into a text control in pieces of UTF-8 with the file's
    // own line ends (see readTextFile) and remembers how the file is stored,
    // with each line's own line end when they differ.
    void LoadPieces(const std::function<void(qint64 expected)>& begin, const TTextPieceSink& piece);
    // Writes a text control's UTF-8 text to the file in the document's format,
    // replacing it atomically; then IsNew and Modified are False. Lines the
    // file still holds keep their own line ends; new lines get the format's.
    void SaveFromUtf8(const QByteArray& utf8);
    // The same write to another file, for a save-as that writes the file
    // before the document takes its name; name and flags stay. A Latin-1
    // text that gained a character beyond Latin-1 is written, and from then
    // on saved, as UTF-8. A failed write changes nothing.
    void WriteUtf8(const QString& fullPath, const QByteArray& utf8);
    // The bytes a save would write now; the format does not change.
    QByteArray Utf8BytesToSave(const QByteArray& utf8) const;

    // Whether another program changed the file since the document last read
    // or wrote it (see TDiskState).
    TDiskState DiskState() const;
    // Takes the file as it is now for the one the document last read or
    // wrote: for a write of the document's own bytes that was not a save
    // (the compile puts the file back).
    void RecordDiskState();

private:
    TDocument() = default;

    TDocType FDocType = TDocType::Java;
    QString FFileName;
    QString FPath;
    QString FTitle;
    bool FIsNew = true;
    bool FModified = false;
    TProject* FProject = nullptr;
    TNameChangeEvent FOnNameChange;
    bool FIsOpen = false;
    TTextFormat FFormat;
    // The line end of each line, for a file whose lines do not all end alike.
    TLineEnds FLineEnds;
    // True for text typed into a new document: it is saved with a line end
    // after its last line. Text loaded from a file is saved exactly as it is.
    bool FAddsFinalLineEnd = false;
    // The file as last read or written by the document, so that a change
    // made by another program is noticed instead of overwritten.
    files::FileStamp FDiskStamp;
};

// Document names (FileName, no directory) with their documents attached. It
// refers to the documents and never destroys them. An entry may also stand
// without a document, remembering the path it was listed with (a project
// entry whose file could not be loaded).
class TDocumentList {
public:
    TDocumentList() = default;
    ~TDocumentList() { Clear(); }
    TDocumentList(const TDocumentList&) = delete;
    TDocumentList& operator=(const TDocumentList&) = delete;

    int Count() const { return int(FItems.size()); }

    // Appends an entry and returns its index; a missing document throws
    // EBrewpadError("not a TDocument") and adds nothing.
    int Add(const QString& name, TDocument* doc);
    // Appends an entry without a document for the path and returns its index.
    int AddWithoutDocument(const QString& name, const QString& path);
    // Removes entry index; its document survives.
    void Delete(int index);
    // Removes every entry; the documents survive.
    void Clear();

    QString Name(int index) const;
    void SetName(int index, const QString& name);
    // The attached document, or nullptr for an entry without one.
    TDocument* Document(int index) const;
    // Accepts a document or none.
    void SetDocument(int index, TDocument* doc);
    // The path given to AddWithoutDocument; empty for an entry added with a
    // document.
    QString ListedPath(int index) const;

    // First entry with this name, compared exactly or ignoring case; or -1.
    // With withDocument, entries without a document are passed over.
    int IndexOf(const QString& name, Qt::CaseSensitivity cs = Qt::CaseSensitive,
                bool withDocument = false) const;
    // First entry whose document is doc, or -1.
    int IndexOfDocument(const TDocument* doc) const;

private:
    void check(int index) const;
    // Records entry index (the last one) in the name index, when it is built.
    void indexAppended();

    struct TEntry {
        QString Name;
        TDocument* Document = nullptr;
        QString ListedPath;
    };
    std::vector<TEntry> FItems;
    // The entries of each case-folded name, in ascending order, so that a
    // lookup in a project of thousands of documents does not walk the list.
    // Appending keeps it; other changes drop it, and the next lookup builds
    // it again.
    mutable QHash<QString, std::vector<int>> FByName;
    mutable bool FByNameValid = false;
};

} // namespace bp
