#pragma once

#include "editor/editorstate.h"
#include "model/brewpaddefs.h"
#include "model/search.h"

#include <QFont>
#include <QString>

#include <optional>

class QPrinter;

namespace bp {

class TBrowserDde;
class TProject;
struct TSettings;

// A search as the main window's Find or Replace dialog holds it.
struct TSearchRequest {
    QString FindText;
    QString ReplaceText; // the Replace dialog's only
    TSearchOptions Options;
};

// What an editor window needs of the main window. The main window implements
// it; tests stand in for it. Changes of an editor's own state travel the
// other way, as its stateChanged signal.
class IMainWindow {
public:
    virtual ~IMainWindow() = default;

    virtual TProject* CurrentProject() const = 0;
    virtual const TSettings& CurrentSettings() const = 0;
    // The editor font (name, size) of the settings.
    virtual QFont EditorFont() const = 0;
    // The programs and printer as last looked up (see TToolsPresent).
    virtual TToolsPresent ToolsPresent() const = 0;
    // The printer that the print dialog sets up, kept between prints; none
    // when nothing could be printed at start.
    virtual QPrinter* Printer() = 0;
    virtual bool ClipboardHasText() const = 0;

    virtual void RenameWindowTab(const QString& oldCaption, const QString& newCaption) = 0;
    virtual void RemoveWindowTab(const QString& caption) = 0;
    // Runs the save dialog with the filter of docType first. On OK fileName
    // holds the chosen name, completed with the type's extension when it had
    // none, and the dialogs' directories follow it.
    virtual bool ExecuteSaveDialog(TDocType docType, QString& fileName) = 0;
    virtual void AddRecentFile(const QString& pathName) = 0;
    // The open dialog's choice to open files read-only.
    virtual bool OpenReadOnly() const = 0;
    virtual void SetStatusText(const QString& text) = 0;
    // The one conversation with a running browser, shared by all windows.
    virtual TBrowserDde& BrowserDde() = 0;

    // The main window's Find and Replace dialogs: what the searches read.
    virtual TSearchRequest FindRequest() const = 0;
    virtual TSearchRequest ReplaceRequest() const = 0;
    // Shows the Find or Replace dialog (modeless).
    virtual void SearchFind() = 0;
    virtual void SearchReplace() = 0;
    // Asks for a line number with the go-to-line dialog; nothing when the
    // user cancels or the text is not a number (the error is shown).
    virtual std::optional<int> AskLineNumber() = 0;

    // True the first time a directory's recovery copies are looked at in
    // this run of the program (see TRecoveryChecks).
    virtual bool FirstRecoveryCheck(const QString& dir) = 0;
    // Shows the file at path in an editor window, opened as File > Open
    // opens it or brought forward when it is open already, and selects line
    // lineNumber there as Go to Line does. Throws EBrewpadError when the file
    // cannot be read.
    virtual void OpenAtLine(const QString& path, int lineNumber) = 0;
};

} // namespace bp
