#include "model/project.h"

#include "platform/errors.h"
#include "platform/fileservices.h"
#include "platform/textutil.h"

#include <QSet>

#include <algorithm>
#include <vector>

namespace bp {

namespace {

const QString kHeader = QStringLiteral("Tarvik's Brewpad 2.09");
const QString kOldHeader = QStringLiteral("Tarvik's Brewpad 2.01");
const QString kVersion = QStringLiteral("2");
const QString kFilesKey = QStringLiteral("Files");

// First line from `from` on whose trimmed text is key, or -1.
qsizetype findKey(const QStringList& lines, const QString& key, qsizetype from)
{
    for (qsizetype i = from; i < lines.size(); ++i) {
        if (TrimBlanksAndControls(lines[i]) == key)
            return i;
    }
    return -1;
}

// A value holding a line break would split into lines that read back as
// keys or file names; it is written on one line instead.
QString oneLine(QString s)
{
    s.replace(QLatin1String("\r\n"), QLatin1String(" "));
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return s;
}

} // namespace

std::unique_ptr<TProject> TProject::Create()
{
    return std::unique_ptr<TProject>(new TProject);
}

std::unique_ptr<TProject> TProject::CreateFromFile(const QString& FileName)
{
    std::unique_ptr<TProject> project(new TProject);
    project->Load(FileName); // on failure the project and its documents go
    return project;
}

TProject::~TProject()
{
    // The same document may be listed twice; it is destroyed once.
    std::vector<TDocument*> docs;
    QSet<TDocument*> seen;
    for (int i = 0; i < FDocuments.Count(); ++i) {
        TDocument* doc = FDocuments.Document(i);
        if (doc && !seen.contains(doc)) {
            seen.insert(doc);
            docs.push_back(doc);
        }
    }
    FDocuments.Clear();
    for (TDocument* doc : docs) {
        doc->SetProject(nullptr);
        delete doc;
    }
}

void TProject::Load(const QString& FileName)
{
    if (!files::exists(FileName))
        throw cantFind(FileName);
    FFileName = FileName;
    FIsNew = false;

    const QByteArray bytes = files::readAll(FileName);
    QStringList lines = SplitLines(DecodeUtf8OrLatin1(bytes));
    if (!lines.isEmpty() && lines[0].startsWith(QChar(0xFEFF)))
        lines[0].remove(0, 1); // a byte-order mark left by another editor

    if (lines.size() >= 2 && lines[1] != kVersion && lines[0] == kOldHeader)
        lines.insert(1, kVersion); // 2.01 files carry no version line
    if (lines.size() < 2 || lines[1] != kVersion)
        throw EBrewpadError(QLatin1Char('\'') + FileName +
                            QStringLiteral("' is not a Brewpad Project or is from an earlier "
                                           "version of Brewpad."));

    // Keys are searched in the order they are written, each after the
    // previous key's value, so that a value can never be taken for a key.
    // A missing key leaves its value empty and the search for the next key
    // where it was: one lost section must not lose those after it.
    const std::pair<QString, QString*> keys[] = {
        {QStringLiteral("Project"), &FName},
        {QStringLiteral("CompileOptions"), &FCompileOptions},
        {QStringLiteral("ClassPath"), &FClassPath},
        {QStringLiteral("OutputPath"), &FOutputPath},
    };
    qsizetype cursor = 1;
    for (const auto& [key, field] : keys) {
        const qsizetype i = findKey(lines, key, cursor);
        if (i < 0) {
            field->clear();
            continue;
        }
        *field = i + 1 < lines.size() ? TrimBlanksAndControls(lines[i + 1]) : QString();
        cursor = i + 2;
    }

    const qsizetype filesKey = findKey(lines, kFilesKey, cursor);
    if (filesKey >= 0) {
        // The names taken so far, case folded: AddFile's search through the
        // list for each line would make loading a large project quadratic.
        QSet<QString> taken;
        for (qsizetype i = filesKey + 1; i < lines.size(); ++i) {
            const QString& line = lines[i];
            if (TrimBlanksAndControls(line).isEmpty())
                continue;
            // An entry that gets no document (its file is missing, or its name
            // is taken) is kept as listed: a save must never drop what the
            // user did not remove. Whether it is missing is decided here and
            // not looked at again. No file is opened: a device or a /proc
            // file gets a document that only names it. No file name holds a
            // NUL, and Qt refuses to look one up.
            const QString name = files::extractFileName(line);
            const QString folded = name.toCaseFolded();
            if (line.contains(QChar(0)) || taken.contains(folded) || !files::exists(line)) {
                FDocuments.AddWithoutDocument(name, line);
                continue;
            }
            std::unique_ptr<TDocument> doc = TDocument::CreateFromFile(line);
            AddDocument(doc.get());
            doc.release();
            taken.insert(folded);
        }
    }
    FModified = false;
    files::setCurrentDir(files::extractFileDir(FileName));
}

QByteArray TProject::FileContent() const
{
    const QString indent = QStringLiteral("  ");
    QStringList lines = {kHeader,
                         kVersion,
                         QStringLiteral("Project"),
                         indent + oneLine(FName),
                         QString(),
                         QStringLiteral("CompileOptions"),
                         indent + oneLine(FCompileOptions),
                         QString(),
                         QStringLiteral("ClassPath"),
                         indent + oneLine(FClassPath),
                         QString(),
                         QStringLiteral("OutputPath"),
                         indent + oneLine(FOutputPath),
                         QString(),
                         kFilesKey};
    for (int i = 0; i < FDocuments.Count(); ++i)
        lines << oneLine(EntryPath(i));
    QString text;
    for (const QString& line : lines) {
        text += line;
        text += QLatin1String("\r\n");
    }
    return text.toUtf8();
}

void TProject::Save()
{
    if (FFileName.isEmpty())
        throw EBrewpadError(QStringLiteral("The project has no file name."));
    files::writeAtomically(FFileName, FileContent());
    FIsNew = false;
    FModified = false;
    files::setCurrentDir(files::extractFileDir(FFileName));
}

void TProject::SetName(const QString& s)
{
    if (s != FName) {
        FName = s;
        FModified = true;
    }
}

void TProject::SetFileName(const QString& s)
{
    if (s != FFileName) {
        FFileName = s;
        FModified = true;
    }
}

void TProject::SetCompileOptions(const QString& s)
{
    if (s != FCompileOptions) {
        FCompileOptions = s;
        FModified = true;
    }
}

void TProject::SetClassPath(const QString& s)
{
    if (s != FClassPath) {
        FClassPath = s;
        FModified = true;
    }
}

void TProject::SetOutputPath(const QString& s)
{
    if (s != FOutputPath) {
        FOutputPath = s;
        FModified = true;
    }
}

void TProject::NotifyChange()
{
    if (FOnChange)
        FOnChange(this);
}

QString TProject::EntryPath(int index) const
{
    const TDocument* doc = FDocuments.Document(index);
    return doc ? doc->FullPath() : FDocuments.ListedPath(index);
}

void TProject::RenameEntry(int index, const QString& name)
{
    FDocuments.SetName(index, name);
    FModified = true;
}

void TProject::AddDocument(TDocument* doc)
{
    FDocuments.Add(doc ? doc->FileName() : QString(), doc); // throws for none
    // A document belongs to one project only; two owners would destroy it twice.
    if (TProject* old = doc->Project(); old && old != this)
        old->DetachDocument(doc);
    doc->SetProject(this);
    FModified = true;
}

TDocument* TProject::AddFile(const QString& FullPath)
{
    if (!files::exists(FullPath) ||
        IndexOfDocumentNamed(files::extractFileName(FullPath), Qt::CaseInsensitive) >= 0)
        return nullptr;
    std::unique_ptr<TDocument> doc = TDocument::CreateFromFile(FullPath);
    AddDocument(doc.get());
    return doc.release();
}

void TProject::RemoveFile(const QString& Name)
{
    FModified = true;
    const int index = FDocuments.IndexOf(Name);
    if (index >= 0)
        RemoveEntry(index);
}

void TProject::RemoveEntry(int index)
{
    TDocument* doc = FDocuments.Document(index); // throws for a bad index
    FModified = true;
    FDocuments.Delete(index);
    if (!doc || FDocuments.IndexOfDocument(doc) >= 0)
        return; // still listed under another entry: the project keeps it
    doc->SetProject(nullptr);
    if (!doc->IsOpen())
        delete doc;
}

TDocument* TProject::RenameFile(const QString& OldName, const QString& NewName)
{
    const int index = IndexOfDocumentNamed(OldName, Qt::CaseSensitive);
    TDocument* doc = index >= 0 ? FDocuments.Document(index) : nullptr;
    if (!doc)
        return nullptr;
    doc->Rename(NewName); // on failure nothing has changed
    const int entry = index < FDocuments.Count() && FDocuments.Document(index) == doc
                          ? index
                          : FDocuments.IndexOfDocument(doc);
    if (entry >= 0)
        FDocuments.SetName(entry, doc->FileName());
    FModified = true;
    return doc;
}

int TProject::IndexOfName(const QString& Name) const
{
    return FDocuments.IndexOf(Name, Qt::CaseInsensitive);
}

int TProject::IndexOfDocumentNamed(const QString& Name, Qt::CaseSensitivity cs) const
{
    return FDocuments.IndexOf(Name, cs, true);
}

TDocument* TProject::FindDocument(const QString& Name) const
{
    const int index = IndexOfDocumentNamed(Name, Qt::CaseSensitive);
    return index >= 0 ? FDocuments.Document(index) : nullptr;
}

QString TProject::GetFullPath(const QString& Name) const
{
    for (int i = FDocuments.Count() - 1; i >= 0; --i) {
        const TDocument* doc = FDocuments.Document(i);
        if (doc && FDocuments.Name(i) == Name)
            return doc->FullPath();
    }
    return QString();
}

bool TProject::IsModified() const
{
    if (FModified)
        return true;
    for (int i = 0; i < FDocuments.Count(); ++i) {
        const TDocument* doc = FDocuments.Document(i);
        if (doc && doc->Modified())
            return true;
    }
    return false;
}

void TProject::GetFilesOfType(QStringList& List, TDocType DocType) const
{
    List.clear();
    for (int i = 0; i < FDocuments.Count(); ++i) {
        const TDocument* doc = FDocuments.Document(i);
        if (doc && doc->DocType() == DocType)
            List << FDocuments.Name(i);
    }
}

QStringList TProject::GetFilesOfType(TDocType DocType) const
{
    QStringList list;
    GetFilesOfType(list, DocType);
    return list;
}

void TProject::DetachDocument(TDocument* doc)
{
    if (!doc)
        return; // entries without a document stay until they are removed
    for (int i = FDocuments.Count() - 1; i >= 0; --i) {
        if (FDocuments.Document(i) == doc) {
            FDocuments.Delete(i);
            FModified = true;
        }
    }
    if (doc->Project() == this)
        doc->SetProject(nullptr);
}

} // namespace bp
