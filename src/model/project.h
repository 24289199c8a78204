#pragma once

#include "model/document.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace bp {

class TProject;

// Called when a document of the project gets a new file name.
using TProjectChangeEvent = std::function<void(TProject* sender)>;

// A group of documents with a name and compiler options, stored as a
// line-oriented ".jpr" file. The project owns its documents.
class TProject {
public:
    // A new, empty project named "New Project".
    static std::unique_ptr<TProject> Create();
    // Loads a project file. Throws "Can't find '<file>'" for a missing file,
    // and EBrewpadError for a file that is not a project of this version.
    // The current directory becomes the file's directory.
    static std::unique_ptr<TProject> CreateFromFile(const QString& FileName);

    // Destroys every document in the list, shown in an editor or not.
    ~TProject();
    TProject(const TProject&) = delete;
    TProject& operator=(const TProject&) = delete;

    QString Name() const { return FName; }
    QString FileName() const { return FFileName; }
    QString CompileOptions() const { return FCompileOptions; }
    QString ClassPath() const { return FClassPath; }
    QString OutputPath() const { return FOutputPath; }
    bool IsNew() const { return FIsNew; }
    bool Modified() const { return FModified; }

    // Each setter marks the project modified only when the value changes.
    void SetName(const QString& s);
    void SetFileName(const QString& s);
    void SetCompileOptions(const QString& s);
    void SetClassPath(const QString& s);
    void SetOutputPath(const QString& s);

    const TProjectChangeEvent& OnChange() const { return FOnChange; }
    void SetOnChange(TProjectChangeEvent handler) { FOnChange = std::move(handler); }
    // Raises OnChange, if set.
    void NotifyChange();

    const TDocumentList& Documents() const { return FDocuments; }
    int Count() const { return FDocuments.Count(); }
    // The entry's name and document (nullptr for an entry without one).
    QString EntryName(int index) const { return FDocuments.Name(index); }
    TDocument* Document(int index) const { return FDocuments.Document(index); }
    // True for an entry the load found missing: its file did not exist, or an
    // earlier entry with a document already had its name. Such an entry has
    // no document; the project keeps it and writes it back unchanged until it
    // is removed. The state is decided at load only: a missing file created
    // afterwards stays missing until the project is loaded again.
    bool IsMissing(int index) const { return FDocuments.Document(index) == nullptr; }
    // The path the project file lists for the entry.
    QString EntryPath(int index) const;
    // Gives entry index a new name in place (a document's new file name) and
    // marks the project modified, as its file holds the old path.
    void RenameEntry(int index, const QString& name);

    // Appends the document under its FileName and takes ownership; no
    // duplicate test. A null document throws "not a TDocument".
    void AddDocument(TDocument* doc);
    // Adds a document for the file when it exists and no entry with a
    // document has its name (ignoring case); returns the new document or
    // nullptr. Missing entries take no name from a file added later.
    TDocument* AddFile(const QString& FullPath);
    // Takes the first entry named Name, missing or not, out of the list (see
    // RemoveEntry). The project counts as modified even when no entry matched.
    void RemoveFile(const QString& Name);
    // Takes entry index out of the list and marks the project modified. Its
    // document is destroyed unless an editor shows it, which then keeps it.
    void RemoveEntry(int index);
    // Renames the file of the document named OldName (TDocument::Rename) and
    // its entry; returns the document, or nullptr when none has that name.
    TDocument* RenameFile(const QString& OldName, const QString& NewName);

    // Index of the entry named Name, ignoring case, missing or not; or -1.
    int IndexOfName(const QString& Name) const;
    // The document of the first entry named exactly Name that has one, or
    // nullptr.
    TDocument* FindDocument(const QString& Name) const;
    // Path + FileName of the last entry named exactly Name that has a
    // document; empty if there is none.
    QString GetFullPath(const QString& Name) const;
    bool ContainsFile(const QString& Name) const { return !GetFullPath(Name).isEmpty(); }
    // True when the project or any of its documents is modified.
    bool IsModified() const;
    // Replaces List with the names of the entries whose document has the type.
    void GetFilesOfType(QStringList& List, TDocType DocType) const;
    QStringList GetFilesOfType(TDocType DocType) const;

    // Writes the project file to FileName atomically; then IsNew and Modified
    // are False and the current directory becomes the file's directory. A
    // failed write throws EBrewpadError and changes nothing.
    void Save();

    // The project file's content for this project.
    QByteArray FileContent() const;

    // Takes every entry of doc out of the list without destroying it (a
    // document being destroyed, or moving to another project).
    void DetachDocument(TDocument* doc);

private:
    TProject() = default;
    void Load(const QString& FileName);
    // First entry named Name that has a document, or -1.
    int IndexOfDocumentNamed(const QString& Name, Qt::CaseSensitivity cs) const;

    QString FName = QStringLiteral("New Project");
    QString FFileName;
    QString FCompileOptions;
    QString FClassPath;
    QString FOutputPath;
    TDocumentList FDocuments;
    bool FIsNew = true;
    bool FModified = false;
    TProjectChangeEvent FOnChange;
};

} // namespace bp
