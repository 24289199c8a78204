// The main window's Edit, Search and Help relays to the active editor, and
// its shared Find and Replace dialogs.
#include "mainwin/fmain.h"

#include "dialogs/dabout.h"
#include "dialogs/dfind.h"
#include "dialogs/dgotoln.h"
#include "editor/editorwindow.h"
#include "editor/textcontrol.h"
#include "platform/errors.h"
#include "platform/guarded.h"

#include <QAction>

namespace bp {

void TfrmMain::connectEditCommands()
{
    FFindDialog = new TdlgFind(TdlgFind::TMode::Find, this);
    FFindDialog->setObjectName(QStringLiteral("dlgFind"));
    FReplaceDialog = new TdlgFind(TdlgFind::TMode::Replace, this);
    FReplaceDialog->setObjectName(QStringLiteral("dlgReplace"));
    connect(FFindDialog, &TdlgFind::findRequested, this, [this] { guarded(this, [this] { dlgFindFind(); }); });
    connect(FReplaceDialog, &TdlgFind::findRequested, this,
            [this] { guarded(this, [this] { dlgReplaceFind(); }); });
    connect(FReplaceDialog, &TdlgFind::replaceRequested, this,
            [this] { guarded(this, [this] { dlgReplaceReplace(); }); });

    onItem("mnuEditUndo", [this] {
        if (TcwEditBase* e = ActiveEditor())
            e->Undo();
    });
    // The clipboard commands work in an editor of either variant.
    const auto relay = [this](const char* name, void (TcwEditBase::*command)()) {
        onItem(name, [this, command] {
            if (TcwEditBase* e = ActiveAnyEditor())
                (e->*command)();
        });
    };
    relay("mnuEditCut", &TcwEditBase::doCut);
    relay("mnuEditCopy", &TcwEditBase::doCopy);
    relay("mnuEditPaste", &TcwEditBase::doPaste);
    relay("mnuEditDelete", &TcwEditBase::doDelete);
    onItem("mnuSearchFind", [this] { SearchFind(); });
    onItem("mnuSearchFindNext", [this] { SearchFindNext(); });
    onItem("mnuSearchReplace", [this] { SearchReplace(); });
    onItem("mnuSearchGotoLine", [this] { mnuSearchGotoLineClick(); });
    onItem("mnuHelpAbout", [this] { mnuHelpAboutClick(); });
    onItem("mnuRunCompileDocument", [this] { cmdCompileClick(); });
}

void TfrmMain::cmdCompileClick()
{
    if (TcwEditBase* editor = ActiveEditor())
        editor->cmdJavaClick();
}

QString TfrmMain::FindText() const
{
    return FFindDialog->FindText();
}

TSearchOptions TfrmMain::FindOptions() const
{
    return FFindDialog->Options();
}

QString TfrmMain::ReplaceFindText() const
{
    return FReplaceDialog->FindText();
}

QString TfrmMain::ReplaceText() const
{
    return FReplaceDialog->ReplaceText();
}

TSearchOptions TfrmMain::ReplaceOptions() const
{
    return FReplaceDialog->Options();
}

void TfrmMain::SearchFind()
{
    if (ActiveEditor())
        FFindDialog->Execute();
}

void TfrmMain::SearchReplace()
{
    if (ActiveEditor())
        FReplaceDialog->Execute();
}

void TfrmMain::SearchFindNext()
{
    if (TcwEditBase* editor = ActiveEditor(); editor && !FindText().isEmpty())
        editor->FindNext();
}

void TfrmMain::dlgFindFind()
{
    TcwEditBase* editor = ActiveEditor();
    if (!editor || FindText().isEmpty())
        return;
    // The two dialogs always carry the same find text and options.
    FReplaceDialog->SetFindText(FFindDialog->FindText());
    FReplaceDialog->SetOptions(FFindDialog->Options());
    editor->FindNext();
}

void TfrmMain::dlgReplaceFind()
{
    FFindDialog->SetFindText(FReplaceDialog->FindText());
    FFindDialog->SetOptions(FReplaceDialog->Options());
    dlgFindFind();
}

void TfrmMain::dlgReplaceReplace()
{
    TcwEditBase* editor = ActiveEditor();
    if (!editor || ReplaceFindText().isEmpty())
        return;
    FFindDialog->SetFindText(FReplaceDialog->FindText());
    FFindDialog->SetOptions(FReplaceDialog->Options());
    editor->Replace();
    UpdateMenuItems();
}

std::optional<int> TfrmMain::AskLineNumber()
{
    TdlgGoToLine dialog(this);
    if (prompter().execDialog(dialog) != QDialog::Accepted)
        return std::nullopt;
    try {
        return dialog.GetLineNumber();
    } catch (const EBrewpadError& e) {
        showError(this, e.message());
        return std::nullopt;
    }
}

void TfrmMain::mnuSearchGotoLineClick()
{
    TcwEditBase* editor = ActiveAnyEditor();
    if (!editor)
        return;
    if (const std::optional<int> line = AskLineNumber())
        editor->GoToLine(*line);
}

void TfrmMain::mnuHelpAboutClick()
{
    TdlgAbout about(this);
    prompter().execDialog(about);
}

} // namespace bp
