#include "editor/editorwindow.h"

#include "editor/editortoolbar.h"

#include "editor/compileresults.h"
#include "editor/mainservices.h"
#include "editor/textcontrol.h"
#include "model/compiledocument.h"
#include "model/document.h"
#include "model/project.h"
#include "model/settings.h"
#include "platform/busycursor.h"
#include "platform/errors.h"
#include "platform/guarded.h"
#include "platform/fileservices.h"
#include "platform/prompter.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace bp {

TcwEditBase::TcwEditBase(IMainWindow& main, std::unique_ptr<TextControl> text, QWidget* parent)
    : QWidget(parent), FMain(main), FText(std::move(text))
{
    setWindowTitle(QStringLiteral("New"));
    buildLayout();
    FillDocTypes();
    ApplySettings();

    FText->onKeyPress = [this](QKeyEvent* e) { return TextKeyPress(e); };
    FText->onKeyRelease = [this](QKeyEvent* e) { TextKeyUp(e); };
    FText->onContextMenu = [this](const QPoint& pos) { mnpTextPopup(pos); };
    // The controls report changes in the middle of an edit too (a replaced
    // selection is empty for a moment): the state is looked at once the
    // event loop comes round.
    FText->onStateChange = [this] {
        if (std::exchange(FStateCheckPending, true))
            return;
        QMetaObject::invokeMethod(
            this,
            [this] {
                FStateCheckPending = false;
                CheckState();
            },
            Qt::QueuedConnection);
    };
}

TcwEditBase::~TcwEditBase()
{
    // A window destroyed without closing (the program ending) still lets go
    // of its document, after a running compile has put its file back.
    DropCompile();
    ReleaseDocument();
}

void TcwEditBase::ReleaseDocument()
{
    // The window's own document is destroyed; a project's stays with it.
    if (FDocument) {
        FDocument->SetOnNameChange(nullptr);
        FDocument->SetIsOpen(false);
        if (!FDocument->Project())
            delete FDocument;
        FDocument = nullptr;
    }
}

// ---------------------------------------------------------------------------
// Layout

void TcwEditBase::buildLayout()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    FToolBar = new TEditorToolBar(this);
    TEditorToolBar& t = *FToolBar;
    connect(t.cmbDocType, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && index < kDocTypeCount)
            guarded(this, [&] { SetDocType(static_cast<TDocType>(index)); });
    });
    const auto on = [this](QToolButton* button, void (TcwEditBase::*command)()) {
        connect(button, &QToolButton::clicked, this,
                [this, command] { guarded(this, [this, command] { (this->*command)(); }); });
    };
    connect(t.cmdSave, &QToolButton::clicked, this, [this] { guarded(this, [this] { Save(); }); });
    on(t.cmdUndo, &TcwEditBase::Undo);
    on(t.cmdCut, &TcwEditBase::doCut);
    on(t.cmdCopy, &TcwEditBase::doCopy);
    on(t.cmdPaste, &TcwEditBase::doPaste);
    on(t.cmdPrint, &TcwEditBase::doPrint);
    connect(t.cmdFind, &QToolButton::clicked, this, [this] { FMain.SearchFind(); });
    connect(t.cmdReplace, &QToolButton::clicked, this, [this] { FMain.SearchReplace(); });
    on(t.cmdGoToLine, &TcwEditBase::cmdGoToLineClick);
    on(t.cmdAddToProject, &TcwEditBase::cmdAddToProjectClick);
    on(t.cmdRemoveFromProject, &TcwEditBase::cmdRemoveFromProjectClick);
    on(t.cmdJava, &TcwEditBase::cmdJavaClick);
    on(t.cmdJavaRun, &TcwEditBase::cmdJavaRunClick);
    on(t.cmdBrowser, &TcwEditBase::LoadInBrowser);
    layout->addWidget(FToolBar);

    auto* editPanel = new QWidget(this);
    editPanel->setObjectName(QStringLiteral("pnlEdit"));
    auto* editLayout = new QVBoxLayout(editPanel);
    editLayout->setContentsMargins(2, 2, 2, 2);
    editLayout->addWidget(FText->widget());
    layout->addWidget(editPanel, 1);

    FCompileResults = new TCompileResultsPanel([this] { return GetPathName(); }, this);
    connect(FCompileResults, &TCompileResultsPanel::sourceLineChosen, this,
            &TcwEditBase::GoToLine);
    connect(FCompileResults, &TCompileResultsPanel::fileLineChosen, this,
            [this](const QString& path, int lineNumber) { FMain.OpenAtLine(path, lineNumber); });
    connect(FCompileResults, &TCompileResultsPanel::fileNotFound, this,
            [this](const QString& path) { FStatusBar->showMessage(cantFind(path).message()); });
    connect(FCompileResults, &TCompileResultsPanel::errorLinesShown, this,
            [this](const QList<int>& lineNumbers) {
                QList<int> lines;
                lines.reserve(lineNumbers.size());
                for (int number : lineNumbers)
                    lines.append(number - 1);
                FText->setErrorMarkers(lines);
            });
    layout->addWidget(FCompileResults);

    FStatusBar = new QStatusBar(this);
    FStatusBar->setObjectName(QStringLiteral("StatusBar"));
    FStatusBar->setSizeGripEnabled(false);
    layout->addWidget(FStatusBar);

    FPopup = new QMenu(this);
    FPopup->setObjectName(QStringLiteral("mnpText"));
    auto item = [this](const char* name, const QString& caption, auto slot) {
        QAction* a = FPopup->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, [this, slot] { guarded(this, [this, slot] { (this->*slot)(); }); });
        FPopupItems.insert(a->objectName(), a);
        return a;
    };
    item("mnpTextCut", QStringLiteral("Cu&t"), &TcwEditBase::doCut);
    item("mnpTextCopy", QStringLiteral("&Copy"), &TcwEditBase::doCopy);
    item("mnpTextPaste", QStringLiteral("&Paste"), &TcwEditBase::doPaste);
    item("mnpTextDelete", QStringLiteral("&Delete"), &TcwEditBase::doDelete);
    item("mnpAddToProject", QStringLiteral("&Add to active project"),
         &TcwEditBase::cmdAddToProjectClick);
    item("mnpRemoveFromProject", QStringLiteral("&Remove from active project"),
         &TcwEditBase::cmdRemoveFromProjectClick)
        ->setVisible(false);

    setFocusProxy(FText->widget());
}

QToolButton* TcwEditBase::button(const QString& name) const
{
    return FToolBar->findChild<QToolButton*>(name);
}

QComboBox* TcwEditBase::cmbDocType() const
{
    return FToolBar->cmbDocType;
}

void TcwEditBase::FillDocTypes()
{
    QComboBox* combo = FToolBar->cmbDocType;
    combo->clear();
    const TDocTypeList types;
    for (int i = 0; i < types.Count(); ++i)
        combo->addItem(types.Name(i));
}

void TcwEditBase::ApplySettings()
{
    const TSettings& s = FMain.CurrentSettings();
    FText->setEditorFont(FMain.EditorFont());
    // The compiler's "^" lines point at a column: the list needs the same
    // fixed-width font to line them up.
    FCompileResults->list()->setFont(FMain.EditorFont());
    FText->setTextColor(ColorToQColor(s.Font.Color, palette()));
    FText->setBackgroundColor(ColorToQColor(s.EditorColor, palette()));
}


// ---------------------------------------------------------------------------
// Creation and the document

void TcwEditBase::AttachDocument(TDocument* document)
{
    FDocument = document;
    FDocument->SetOnNameChange(
        [this](TDocument*, const QString& newName) { DocumentNameChanged(newName); });
}

void TcwEditBase::CreateNew(int number, TDocType docType)
{
    FText->setSyntax(docType);
    AttachDocument(TDocument::CreateNew(number, docType).release());
    FDocument->SetIsOpen(true);
    FToolBar->cmbDocType->setCurrentIndex(ordinal(GetDocType()));
    FMain.RenameWindowTab(windowTitle(), FDocument->Title());
    SetCaption(FDocument->Title());
    AnnounceState();
}

void TcwEditBase::CreateFromFile(const QString& fileName)
{
    std::unique_ptr<TDocument> doc = TDocument::CreateFromFile(fileName);
    ShowDocument(doc.get());
    doc.release();
}

void TcwEditBase::CreateForDocument(TDocument* document)
{
    ShowDocument(document);
}

void TcwEditBase::ShowDocument(TDocument* document)
{
    AttachDocument(document);
    try {
        LoadDocument();
    } catch (...) {
        // The window lets go of a document it could not show.
        FDocument->SetOnNameChange(nullptr);
        FDocument = nullptr;
        throw;
    }
    FDocument->SetIsOpen(true);
    FToolBar->cmbDocType->setCurrentIndex(ordinal(GetDocType()));
    ProtectNonTextFile();
}

void TcwEditBase::ProtectNonTextFile()
{
    // A file holding NUL characters is most likely no text at all (a program
    // or an archive opened by mistake): unless the user says otherwise it is
    // read-only, so that no stray key changes it.
    if (!FDocument->Format().binary || FText->isReadOnly())
        return;
    const QString path = GetPathName();
    if (ask(this,
            QStringLiteral("'%1' does not look like a text file: it holds NUL characters.\n\n"
                           "Open it for editing anyway?")
                .arg(path),
            MsgType::Confirmation, MsgButtons::YesNo) == MsgResult::Yes)
        return;
    FText->setReadOnly(true);
    FMain.SetStatusText(QStringLiteral("'%1' is not a text file and was opened read-only.").arg(path));
    AnnounceState();
}

void TcwEditBase::SetCaption(const QString& caption)
{
    setWindowTitle(caption);
}

void TcwEditBase::LoadDocument()
{
    BusyCursor busy;
    // The file goes into the control in pieces, never held whole. The
    // caption and tab change only once the text is in, so a failed read
    // leaves them as they were.
    FText->setSyntax(GetDocType());
    FDocument->LoadPieces([this](qint64 expected) { FText->beginLoad(expected); },
                          [this](const char* utf8, qsizetype size) {
                              FText->appendLoad(utf8, size);
                          });
    FText->endLoad();
    FMain.RenameWindowTab(windowTitle(), FDocument->Title());
    SetCaption(FDocument->Title());
    FText->setModified(false);
    FText->setReadOnly(FMain.OpenReadOnly());
    FText->setSelection(0, 0);
    FDiskStateKept.reset();
    AnnounceState();
}

void TcwEditBase::ReloadDocument()
{
    const int line = FText->lineFromPosition(FText->caret());
    const bool readOnly = FText->isReadOnly();
    // A read that fails partway (a failing disk, a network file system)
    // would leave part of the file in the window, where a later Save would
    // write it over the whole: the text shown before comes back, modified
    // or not as it was.
    const QByteArray shown = FText->utf8();
    const bool modified = FText->isModified();
    try {
        LoadDocument();
    } catch (...) {
        FText->setUtf8(shown);
        FText->setModified(modified);
        FText->setReadOnly(readOnly);
        FText->setSelection(FText->lineStart(std::min(line, FText->lineCount() - 1)), 0);
        AnnounceState();
        throw;
    }
    FText->setReadOnly(readOnly);
    // The line that holds the end is the last a caret can be on (also after
    // a final line break).
    const int lastLine = FText->lineFromPosition(FText->textLength());
    FText->setSelection(FText->lineStart(std::min(line, lastLine)), 0);
    FText->scrollCaretIntoView();
    CheckState();
}

void TcwEditBase::CheckDiskChange()
{
    if (!FDocument || FClosed || FDiskCheckHeld || IsCompiling())
        return;
    const TDiskState state = FDocument->DiskState();
    if (state == TDiskState::Unchanged)
        return;
    const QString path = GetPathName();
    const files::FileStamp now = files::fileStamp(path);
    if (FDiskStateKept == now)
        return;
    const QScopedValueRollback<bool> checking(FDiskCheckHeld, true);

    if (state == TDiskState::Gone) {
        // The text is all that is left of the file: closing must offer to
        // save it.
        FDiskStateKept = now;
        FText->setModified(true);
        AnnounceState();
        FMain.SetStatusText(QStringLiteral("'%1' no longer exists on disk.").arg(path));
        return;
    }
    if (FText->isModified()) {
        const QString question = QStringLiteral("'%1' has changed on disk.\n\n"
                                                "Reload it and lose the changes made here?")
                                     .arg(path);
        if (ask(this, question, MsgType::Confirmation, MsgButtons::YesNo) != MsgResult::Yes) {
            // Save still knows that the file differs and asks before
            // replacing it.
            FDiskStateKept = now;
            return;
        }
    }
    guarded(this, [&] {
        ReloadDocument();
        FMain.SetStatusText(QStringLiteral("'%1' changed on disk and was reloaded.").arg(path));
    });
}

void TcwEditBase::DocumentNameChanged(const QString& newName)
{
    FMain.RenameWindowTab(windowTitle(), newName);
    SetCaption(newName);
    FToolBar->cmbDocType->setCurrentIndex(ordinal(GetDocType()));
    FText->setSyntax(GetDocType());
}

void TcwEditBase::SetDocType(TDocType docType)
{
    if (!FDocument)
        return;
    FDocument->SetDocType(docType);
    FMain.RenameWindowTab(windowTitle(), FDocument->Title());
    SetCaption(FDocument->Title());
    FText->setSyntax(docType);
    FText->setModified(true);
    // The type decides the Compile and Browser commands.
    AnnounceState();
}

bool TcwEditBase::IsSaved() const
{
    return !FDocument || (!FDocument->IsNew() && !FText->isModified());
}

QString TcwEditBase::GetFileName() const
{
    return FDocument ? FDocument->FileName() : QString();
}

QString TcwEditBase::GetPathName() const
{
    return FDocument ? FDocument->FullPath() : QString();
}

TDocType TcwEditBase::GetDocType() const
{
    return FDocument ? FDocument->DocType() : TDocType::Other;
}

// ---------------------------------------------------------------------------
// Saving and closing

void TcwEditBase::WriteText(const QString& fullPath)
{
    FDocument->WriteUtf8(fullPath, FText->utf8());
}

bool TcwEditBase::Save()
{
    // The compile would put the file's old bytes back over the saved ones.
    StopCompile();
    bool saved = false;
    if (FDocument->IsNew()) {
        saved = SaveAs();
    } else {
        const QString path = GetPathName();
        // A file that vanished while its directory remains is written anew;
        // a read-only one (or one whose directory is gone) is not.
        const bool writable = files::exists(path) ? !files::isReadOnly(path)
                                                  : files::isDirectory(FDocument->Path());
        if (!writable) {
            ask(this, QStringLiteral("%1 is read only and will not be saved.").arg(path),
                MsgType::Warning, MsgButtons::OK);
        } else if (FDocument->DiskState() == TDiskState::Changed &&
                   ask(this,
                       QStringLiteral("'%1' has changed on disk since it was loaded or saved."
                                      "\n\nReplace it with the text shown here?")
                           .arg(path),
                       MsgType::Warning, MsgButtons::YesNo) != MsgResult::Yes) {
            // Another program's text is not replaced unasked; this one stays,
            // still modified.
        } else {
            FDocument->SaveFromUtf8(FText->utf8());
            FDiskStateKept.reset();
            FText->setModified(false);
            FMain.AddRecentFile(path);
            saved = true;
        }
    }
    AnnounceState();
    return saved;
}

bool TcwEditBase::SaveAs()
{
    StopCompile();
    QString name;
    if (!FMain.ExecuteSaveDialog(GetDocType(), name))
        return false;
    WriteText(name);
    TProject* project = FMain.CurrentProject();
    const bool addToProject = FDocument->IsNew() && project;
    FDocument->SetFileName(name);
    FDiskStateKept.reset();
    if (addToProject)
        project->AddDocument(FDocument);
    FText->setModified(false);
    FMain.AddRecentFile(name);
    AnnounceState();
    return true;
}

bool TcwEditBase::QuerySave()
{
    if (!FText->isModified())
        return true;
    switch (ask(this, QStringLiteral("Save changes to %1?").arg(GetPathName()),
                MsgType::Confirmation, MsgButtons::YesNoCancel)) {
    case MsgResult::Yes: return Save();
    case MsgResult::No: return true;
    default: return false;
    }
}

bool TcwEditBase::CloseQuery()
{
    // A window that goes stops its compile first, without a question: the
    // file gets its own bytes back.
    StopCompile();
    bool canClose = true;
    try {
        if (FText->isModified() && !FForceClose) {
            if (FDocument && FDocument->IsNew()) {
                // Only No discards the text; a dismissed question keeps it.
                const MsgResult answer = ask(this, QStringLiteral("Save '%1'?").arg(windowTitle()),
                                             MsgType::Confirmation, MsgButtons::YesNo);
                if (answer == MsgResult::Yes)
                    canClose = SaveAs();
                else if (answer != MsgResult::No)
                    canClose = false;
            } else {
                canClose = QuerySave();
            }
        }
    } catch (const EBrewpadError& e) {
        // A save that failed keeps the window and its text.
        showError(this, e.message());
        canClose = false;
    }
    if (canClose && !FBrowserTempFile.isEmpty() && QFile::exists(FBrowserTempFile))
        QFile::remove(FBrowserTempFile);
    return canClose;
}

void TcwEditBase::FormClose()
{
    FClosed = true;
    FMain.RemoveWindowTab(windowTitle());
    ReleaseDocument();
}

void TcwEditBase::closeEvent(QCloseEvent* event)
{
    if (!FClosed) {
        if (!CloseQuery()) {
            event->ignore();
            return;
        }
        FormClose();
    }
    event->accept();
}

void TcwEditBase::ForceClose()
{
    FForceClose = true;
    if (QWidget* frame = parentWidget(); frame && frame->inherits("QMdiSubWindow"))
        frame->close();
    else
        close();
}

// ---------------------------------------------------------------------------
// Editing. A command from a menu or button comes without the key release
// after which the window looks at its state.

void TcwEditBase::Undo()
{
    FText->undo();
    CheckState();
}

void TcwEditBase::doCut()
{
    FText->cut();
    CheckState();
}

void TcwEditBase::doCopy()
{
    FText->copy();
}

void TcwEditBase::doPaste()
{
    FText->paste();
    CheckState();
}

void TcwEditBase::doDelete()
{
    FText->deleteSelection();
    CheckState();
}

bool TcwEditBase::TextKeyPress(QKeyEvent* event)
{
    // An Enter that the control turns into a line break leaves the caret
    // just after it, the selection replaced.
    FEnterBreak.reset();
    if (!KeyMayAct(event))
        return true;
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !FText->isReadOnly())
        FEnterBreak =
            TEnterBreak{FText->selStart() + 2, FText->textLength() - FText->selLength() + 2};
    if (event->key() != Qt::Key_Tab ||
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    const int tabSet = FMain.CurrentSettings().TabSet;
    if (tabSet == -1)
        return false;
    // A read-only text takes no spaces either.
    if (!FText->isReadOnly())
        FText->replaceSelection(QString(std::max(tabSet, 0), QLatin1Char(' ')));
    return true;
}

void TcwEditBase::TextKeyUp(QKeyEvent* event)
{
    // Only the release of an Enter whose press put a line break into this
    // text indents: not the release of an Enter pressed elsewhere (a dialog,
    // a menu), nor of one the control took for something else.
    KeyReleased(event);
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const std::optional<TEnterBreak> expected =
        enter ? std::exchange(FEnterBreak, std::nullopt) : std::nullopt;
    const int caret = FText->caret();
    const bool lineBreak = expected && !FText->isReadOnly() && FText->selLength() == 0 &&
                           caret == expected->Caret && FText->textLength() == expected->Length &&
                           FText->lineStart(FText->lineFromPosition(caret)) == caret;
    if (lineBreak && FMain.CurrentSettings().AutoIndent) {
        // The part of the line before the line break that Enter inserted:
        // it ends at the character before the CR LF in front of the caret.
        const int last = caret - 3;
        QString part;
        if (last >= 0) {
            const int line = FText->lineFromPosition(last);
            const int column = last - FText->lineStart(line);
            if (column < FText->lineLength(line))
                part = FText->line(line).left(column + 1);
        }
        int run = 0;
        while (run < part.size() &&
               (part[run] == QLatin1Char(' ') || part[run] == QLatin1Char('\t')))
            ++run;
        if (run > 0)
            FText->replaceSelection(part.left(run));
    }
    CheckState();
}

// ---------------------------------------------------------------------------
// Buttons and popup menu

TEditorState TcwEditBase::State() const
{
    TEditorState state;
    state.HasDocument = FDocument != nullptr;
    state.DocType = GetDocType();
    state.Untitled = !FDocument || FDocument->IsNew();
    state.HasText = FText->lineCount() > 0;
    state.Modified = FText->isModified();
    state.Selection = FText->selLength() > 0;
    state.ReadOnly = FText->isReadOnly();
    state.Compiling = IsCompiling();
    return state;
}

void TcwEditBase::AnnounceState()
{
    FLastState = State();
    UpdateButtons();
    Q_EMIT stateChanged();
}

void TcwEditBase::CheckState()
{
    if (State() != FLastState)
        AnnounceState();
}

void TcwEditBase::UpdateButtons()
{
    FToolBar->Apply(EditorButtons(State(), FMain.ToolsPresent(), FMain.ClipboardHasText()),
                    FMain.CurrentProject(), GetFileName());
}

void TcwEditBase::mnpTextPopup(const QPoint& pos)
{
    const bool selection = FText->selLength() > 0;
    FPopupItems.value(QStringLiteral("mnpTextPaste"))->setEnabled(FMain.ClipboardHasText());
    for (const char* name : {"mnpTextCut", "mnpTextCopy", "mnpTextDelete"})
        FPopupItems.value(QString::fromLatin1(name))->setEnabled(selection);
    UpdateProjectPair(FMain.CurrentProject(), GetFileName(),
                      FPopupItems.value(QStringLiteral("mnpAddToProject")),
                      FPopupItems.value(QStringLiteral("mnpRemoveFromProject")));
    FPopup->popup(FText->widget()->mapToGlobal(pos));
}

// ---------------------------------------------------------------------------
// Project

void TcwEditBase::cmdAddToProjectClick()
{
    TProject* project = FMain.CurrentProject();
    if (!project)
        return;
    if (FDocument->IsNew() && !SaveAs())
        return;
    if (FDocument->Project() != project)
        project->AddDocument(FDocument);
    AnnounceState();
}

void TcwEditBase::cmdRemoveFromProjectClick()
{
    if (TProject* project = FMain.CurrentProject()) {
        project->RemoveFile(GetFileName());
        AnnounceState();
    }
}

} // namespace bp
