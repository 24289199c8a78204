#pragma once

#include "model/brewpaddefs.h"
#include "model/search.h"

#include <QFont>
#include <QString>

#include <optional>

class QObject;

namespace bp {

class TDocTypeList;
class TProject;
struct TSettings;

// What an editor window needs of the main window. The main window implements
// it; tests can stand in for it.
class IMainWindow {
public:
    virtual ~IMainWindow() = default;

    virtual TProject* CurrentProject() const = 0;
    virtual const TDocTypeList& DocTypes() const = 0;
    virtual const TSettings& CurrentSettings() const = 0;
    // The editor font (name, size) with the settings' font colour.
    virtual QFont EditorFont() const = 0;
    virtual bool HasPrintDialog() const = 0;

    // Refreshes the main menu and every editor's buttons.
    virtual void UpdateMenuItems(QObject* sender = nullptr) = 0;
    virtual void RenameWindowTab(const QString& oldCaption, const QString& newCaption) = 0;
    virtual void RemoveWindowTab(const QString& caption) = 0;
    // Runs the save dialog with the filter of docType first; on OK fileName
    // holds the chosen name and the dialogs' directories follow it.
    virtual bool ExecuteSaveDialog(TDocType docType, QString& fileName) = 0;
    // Stores the completed name back as the save dialog's file name.
    virtual void SetSaveDialogFileName(const QString& fileName) = 0;
    virtual void AddRecentFile(const QString& pathName) = 0;
    // The open dialog's choice to open files read-only.
    virtual bool OpenReadOnly() const = 0;
    virtual void SetStatusText(const QString& text) = 0;
    // The main window's Find and Replace dialogs: what the searches read.
    virtual QString FindText() const = 0;
    virtual TSearchOptions FindOptions() const = 0;
    virtual QString ReplaceFindText() const = 0;
    virtual QString ReplaceText() const = 0;
    virtual TSearchOptions ReplaceOptions() const = 0;
    // Shows the Find or Replace dialog (modeless).
    virtual void SearchFind() = 0;
    virtual void SearchReplace() = 0;
    // Asks for a line number with the go-to-line dialog; nothing when the
    // user cancels or the text is not a number (the error is shown).
    virtual std::optional<int> AskLineNumber() = 0;

};

} // namespace bp
