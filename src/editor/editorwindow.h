#pragma once

#include "editor/editorstate.h"
#include "model/brewpaddefs.h"
#include "platform/fileservices.h"

#include <QHash>
#include <QWidget>

#include <memory>
#include <optional>

class QComboBox;
class QListView;
class QMenu;
class QStatusBar;
class QToolButton;

namespace bp {

class IMainWindow;
class TCompileResultsPanel;
class TDocument;
class TDocumentCompile;
class TEditorToolBar;
class TextControl;

// One editor window: a document shown in a text control, with its tool bar,
// popup menu, status line and the (hidden) compiler output list. The two
// variants, TcwEdit95 and TcwEdit, differ only in their text control and a
// few details, given as overrides.
class TcwEditBase : public QWidget {
    Q_OBJECT

public:
    ~TcwEditBase() override;

    // The three ways to make a window. They build it; the caller shows it.
    void CreateNew(int number, TDocType docType);
    // Throws "Can't find '<path>'" when the file is missing.
    void CreateFromFile(const QString& fileName);
    void CreateForDocument(TDocument* document);

    bool HasDocument() const { return FDocument != nullptr; }
    bool IsSaved() const;
    QString GetFileName() const;
    QString GetPathName() const;
    TDocType GetDocType() const;
    TDocument* Document() const { return FDocument; }
    TextControl* Text() const { return FText.get(); }

    void SetDocType(TDocType docType);
    void LoadDocument();
    void ProtectNonTextFile();
    bool Save();
    bool SaveAs();
    bool QuerySave();
    // The question before closing; true when the window may close.
    bool CloseQuery();
    // Run when the window becomes active: a file that another program
    // changed is reloaded (after asking, when the text here is modified),
    // and a file that has gone leaves the text here modified. The status
    // line says what happened.
    void CheckDiskChange();
    void ForceClose();
    void Undo();
    void doCut();
    void doCopy();
    void doPaste();
    void doDelete();
    // Prints every line of the text, in the editor's font, on the printer
    // the print dialog chooses, as many times as the dialog's copies. A job
    // that fails is reported once it has ended (EBrewpadError).
    void doPrint();
    // Brings the tool buttons up to date with the window's state, the
    // programs present and the clipboard.
    void UpdateButtons();
    // What the menus and buttons follow; stateChanged tells when it changes.
    TEditorState State() const;
    // Searching: one Find Next with the Find dialog's text and options;
    // Replace (and Replace All) with the Replace dialog's; a line by number.
    bool FindNext();
    void Replace();
    void GoToLine(int lineNumber);
    void cmdGoToLineClick();
    // Compiling the Java document and showing what the compiler printed.
    // The compile runs on while the event loop goes on; the text is
    // read-only meanwhile and a second compile is refused.
    void Compile();
    bool IsCompiling() const { return FCompile != nullptr; }
    // Ends a running compile: its file gets its own bytes back, and the list
    // shows what the compiler printed so far.
    void StopCompile();
    void cmdJavaClick();
    void lstErrorsDblClick();
    void cmdAddToProjectClick();
    void cmdRemoveFromProjectClick();
    // Shows the Html document in the web browser: its file, or a temporary
    // copy of unsaved text beside it.
    void LoadInBrowser();
    // Runs the Java class the document holds in a terminal window.
    void cmdJavaRunClick();
    // Applies the main window's font and the editor background colour.
    void ApplySettings();

    // A tool button by its name ("cmdSave"), as the accessibility tree finds it.
    QToolButton* button(const QString& name) const;
    TEditorToolBar* toolBar() const { return FToolBar; }
    QComboBox* cmbDocType() const;
    QMenu* mnpText() const { return FPopup; }
    QStatusBar* statusBar() const { return FStatusBar; }
    QListView* lstErrors() const;
    QWidget* pnlErrors() const;

Q_SIGNALS:
    // The window's state, caption or project membership may have changed.
    void stateChanged();

protected:
    TcwEditBase(IMainWindow& main, std::unique_ptr<TextControl> text, QWidget* parent);
    // Variant details: the plain window hands HotJava the bare file name.
    virtual bool IsPlainVariant() const = 0;

    void closeEvent(QCloseEvent* event) override;

    IMainWindow& FMain;

private:
    void buildLayout();
    void FillDocTypes();
    void AttachDocument(TDocument* document);
    // Attaches and loads a document that has a file.
    void ShowDocument(TDocument* document);
    void DocumentNameChanged(const QString& newName);
    void SetCaption(const QString& caption);
    bool TextKeyPress(QKeyEvent* event);
    // Whether a key press may act on the text: not while a compile runs, nor
    // the repeats of a key held since then or pressed elsewhere.
    bool KeyMayAct(QKeyEvent* event);
    void KeyReleased(QKeyEvent* event);
    void CompileEnded();
    // Gets rid of a running compile without showing anything: the window is
    // going.
    void DropCompile();
    void TextKeyUp(QKeyEvent* event);
    void mnpTextPopup(const QPoint& pos);
    void WriteText(const QString& fullPath);
    // Reads the file again, the caret on the same line as far as the file
    // still has it, the window read-only as before.
    void ReloadDocument();
    // "Can't find" in the status line, and a beep.
    void ReportNotFound(const QString& findText);
    // Writes the text into the window's own temporary copy beside the
    // document and returns its name.
    QString WriteBrowserCopy();
    void StartBrowser(const QString& argument, const QString& workingDir);
    void BrowserDdeRequest(const QString& fileReference);
    void BrowserLinkOpen();
    // "Couldn't start ..." in the main window's status line, and a beep.
    void ReportStartFailure(const QString& text);
    void FormClose();
    void ReleaseDocument();
    // Refreshes the buttons and tells the main window, after a command.
    void AnnounceState();
    // The same, after an edit, only when the state differs from the last.
    void CheckState();

    std::unique_ptr<TextControl> FText;
    TDocument* FDocument = nullptr;
    bool FForceClose = false;
    bool FClosed = false;
    TEditorState FLastState;
    bool FStateCheckPending = false;
    // Where the caret and the text's length should be once the Enter just
    // pressed has put in its line break; auto indent acts on the release of
    // that Enter only.
    struct TEnterBreak {
        int Caret = 0;
        int Length = 0;
    };
    std::optional<TEnterBreak> FEnterBreak;
    // The compile that runs, the path it compiles and whether the text was
    // read-only before it.
    std::unique_ptr<TDocumentCompile> FCompile;
    QString FCompilePath;
    bool FReadOnlyBeforeCompile = false;
    // The keys held down, each with whether its hold may act on the text;
    // a key held since a compile keeps the time of its last release, which
    // may be a repeat's.
    struct THeldKey {
        bool Acts = false;
        std::optional<quint64> ReleasedAt;
    };
    QHash<int, THeldKey> FKeysDown;
    // The window does not look at its file on disk while a question about
    // it is open (the activation that the question's closing brings must not
    // ask again); nor does it while a compile has put the editor's text into
    // it (see IsCompiling).
    bool FDiskCheckHeld = false;
    // The file as it was when the user kept the text here against it (or
    // when it was found gone): not asked about again until it changes.
    std::optional<files::FileStamp> FDiskStateKept;
    QString FBrowserTempFile;
    QString FBrowserURL;

    QStatusBar* FStatusBar = nullptr;
    TEditorToolBar* FToolBar = nullptr;
    TCompileResultsPanel* FCompileResults = nullptr;
    QMenu* FPopup = nullptr;
    QHash<QString, QAction*> FPopupItems;
};

} // namespace bp
