#include "mainwin/editcommands.h"

#include "dialogs/projectmanager.h"
#include "editor/editorwindow.h"
#include "mainwin/childwindows.h"
#include "mainwin/mainactions.h"
#include "platform/guarded.h"

#include <QAction>

namespace bp {

TEditCommands::TEditCommands(QWidget& parent, TChildWindows& children)
    : FParent(parent), FChildren(children)
{
}

void TEditCommands::Connect(const TMainActions& a)
{
    QObject::connect(a.mnuEditUndo, &QAction::triggered, &FParent, [this] {
        if (TcwEditBase* e = FChildren.ActiveEditor())
            guarded(&FParent, [e] { e->Undo(); });
    });
    // The clipboard commands go to an editor's text or to the project
    // manager's selected documents, whichever is the active child.
    const auto relay = [this](QAction* action, void (TcwEditBase::*onText)(),
                              void (TProjectManager::*onDocuments)()) {
        QObject::connect(action, &QAction::triggered, &FParent, [this, onText, onDocuments] {
            if (TcwEditBase* e = FChildren.ActiveAnyEditor())
                guarded(&FParent, [e, onText] { (e->*onText)(); });
            else if (TProjectManager* m = FChildren.ActiveManager())
                guarded(&FParent, [m, onDocuments] { (m->*onDocuments)(); });
        });
    };
    relay(a.mnuEditCut, &TcwEditBase::doCut, &TProjectManager::doCut);
    relay(a.mnuEditCopy, &TcwEditBase::doCopy, &TProjectManager::doCopy);
    relay(a.mnuEditPaste, &TcwEditBase::doPaste, &TProjectManager::doPaste);
    relay(a.mnuEditDelete, &TcwEditBase::doDelete, &TProjectManager::doDelete);
}

TRunCommands::TRunCommands(QWidget& parent, TChildWindows& children)
    : FParent(parent), FChildren(children)
{
}

void TRunCommands::Connect(const TMainActions& a)
{
    QObject::connect(a.mnuRunCompileDocument, &QAction::triggered, &FParent,
                     [this] { guarded(&FParent, [this] { cmdCompileClick(); }); });
    QObject::connect(a.mnuRunStopCompile, &QAction::triggered, &FParent, [this] {
        if (TcwEditBase* editor = FChildren.ActiveAnyEditor())
            editor->StopCompile();
    });
}

void TRunCommands::cmdCompileClick()
{
    if (TcwEditBase* editor = FChildren.ActiveEditor())
        editor->cmdJavaClick();
}

} // namespace bp
