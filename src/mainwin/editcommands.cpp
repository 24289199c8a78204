#include "mainwin/editcommands.h"

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
    const auto relay = [this](QAction* action, void (TcwEditBase::*command)()) {
        QObject::connect(action, &QAction::triggered, &FParent, [this, command] {
            if (TcwEditBase* e = FChildren.ActiveAnyEditor())
                guarded(&FParent, [e, command] { (e->*command)(); });
        });
    };
    relay(a.mnuEditCut, &TcwEditBase::doCut);
    relay(a.mnuEditCopy, &TcwEditBase::doCopy);
    relay(a.mnuEditPaste, &TcwEditBase::doPaste);
    relay(a.mnuEditDelete, &TcwEditBase::doDelete);
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
