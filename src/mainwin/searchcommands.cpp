#include "mainwin/searchcommands.h"

#include "dialogs/dfind.h"
#include "dialogs/dgotoln.h"
#include "editor/editorwindow.h"
#include "mainwin/childwindows.h"
#include "mainwin/mainactions.h"
#include "platform/errors.h"
#include "platform/guarded.h"

#include <QAction>

namespace bp {

TSearchCommands::TSearchCommands(QWidget& parent, TChildWindows& children,
                                 std::function<void()> changed)
    : FParent(parent), FChildren(children), FChanged(std::move(changed))
{
    FFindDialog = new TdlgFind(TdlgFind::TMode::Find, &parent);
    FFindDialog->setObjectName(QStringLiteral("dlgFind"));
    FReplaceDialog = new TdlgFind(TdlgFind::TMode::Replace, &parent);
    FReplaceDialog->setObjectName(QStringLiteral("dlgReplace"));
}

void TSearchCommands::Connect(const TMainActions& a)
{
    const auto on = [this](auto* sender, auto signal, void (TSearchCommands::*command)()) {
        QObject::connect(sender, signal, &FParent,
                         [this, command] { guarded(&FParent, [&] { (this->*command)(); }); });
    };
    on(FFindDialog, &TdlgFind::findRequested, &TSearchCommands::dlgFindFind);
    on(FReplaceDialog, &TdlgFind::findRequested, &TSearchCommands::dlgReplaceFind);
    on(FReplaceDialog, &TdlgFind::replaceRequested, &TSearchCommands::dlgReplaceReplace);
    on(a.mnuSearchFind, &QAction::triggered, &TSearchCommands::SearchFind);
    on(a.mnuSearchFindNext, &QAction::triggered, &TSearchCommands::SearchFindNext);
    on(a.mnuSearchReplace, &QAction::triggered, &TSearchCommands::SearchReplace);
    on(a.mnuSearchGotoLine, &QAction::triggered, &TSearchCommands::mnuSearchGotoLineClick);
}

TSearchRequest TSearchCommands::FindRequest() const
{
    return {FFindDialog->FindText(), QString(), FFindDialog->Options()};
}

TSearchRequest TSearchCommands::ReplaceRequest() const
{
    return {FReplaceDialog->FindText(), FReplaceDialog->ReplaceText(), FReplaceDialog->Options()};
}

void TSearchCommands::SearchFind()
{
    if (FChildren.ActiveEditor())
        FFindDialog->Execute();
}

void TSearchCommands::SearchReplace()
{
    if (FChildren.ActiveEditor())
        FReplaceDialog->Execute();
}

void TSearchCommands::SearchFindNext()
{
    if (TcwEditBase* editor = FChildren.ActiveEditor();
        editor && !FFindDialog->FindText().isEmpty())
        editor->FindNext();
}

void TSearchCommands::dlgFindFind()
{
    TcwEditBase* editor = FChildren.ActiveEditor();
    if (!editor || FFindDialog->FindText().isEmpty())
        return;
    FReplaceDialog->SetFindText(FFindDialog->FindText());
    FReplaceDialog->SetOptions(FFindDialog->Options());
    editor->FindNext();
}

void TSearchCommands::dlgReplaceFind()
{
    FFindDialog->SetFindText(FReplaceDialog->FindText());
    FFindDialog->SetOptions(FReplaceDialog->Options());
    dlgFindFind();
}

void TSearchCommands::dlgReplaceReplace()
{
    TcwEditBase* editor = FChildren.ActiveEditor();
    if (!editor || FReplaceDialog->FindText().isEmpty())
        return;
    FFindDialog->SetFindText(FReplaceDialog->FindText());
    FFindDialog->SetOptions(FReplaceDialog->Options());
    editor->Replace();
    FChanged();
}

std::optional<int> TSearchCommands::AskLineNumber()
{
    TdlgGoToLine dialog(&FParent);
    if (prompter().execDialog(dialog) != QDialog::Accepted)
        return std::nullopt;
    try {
        return dialog.GetLineNumber();
    } catch (const EBrewpadError& e) {
        showError(&FParent, e.message());
        return std::nullopt;
    }
}

void TSearchCommands::mnuSearchGotoLineClick()
{
    TcwEditBase* editor = FChildren.ActiveAnyEditor();
    if (!editor)
        return;
    if (const std::optional<int> line = AskLineNumber())
        editor->GoToLine(*line);
}

} // namespace bp
