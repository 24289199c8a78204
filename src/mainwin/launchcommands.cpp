#include "mainwin/launchcommands.h"

#include "dialogs/drunjava.h"
#include "editor/editorwindow.h"
#include "editor/mainservices.h"
#include "mainwin/childwindows.h"
#include "mainwin/mainactions.h"
#include "model/settings.h"
#include "platform/ddeclient.h"
#include "platform/guarded.h"
#include "platform/prompter.h"
#include "tools/browser.h"
#include "tools/javarun.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>

namespace bp {

TLaunchCommands::TLaunchCommands(QWidget& parent, IMainWindow& main, TChildWindows& children)
    : FParent(parent), FMain(main), FChildren(children),
      FBrowserDde(std::make_unique<TBrowserDde>(std::make_unique<ProcessDdeClientConv>())),
      FRunJava(new TdlgRunJava(&parent))
{
}

TLaunchCommands::~TLaunchCommands() = default;

void TLaunchCommands::Connect(const TMainActions& a)
{
    QObject::connect(a.mnuRunLoadBrowser, &QAction::triggered, &FParent,
                     [this] { guarded(&FParent, [this] { mnuRunLoadBrowserClick(); }); });
    QObject::connect(a.mnuRunJava, &QAction::triggered, &FParent,
                     [this] { guarded(&FParent, [this] { mnuRunJavaClick(); }); });
}

void TLaunchCommands::mnuRunLoadBrowserClick()
{
    // The active editor shows the document: its own browser command runs.
    if (TcwEditBase* editor = FChildren.ActiveEditor())
        editor->LoadInBrowser();
}

void TLaunchCommands::mnuRunJavaClick()
{
    const QString interpreter = FMain.CurrentSettings().JavaInterpreter;
    const bool present = !interpreter.isEmpty() && QFileInfo(interpreter).isFile();
    // An empty command line runs nothing; the dialog keeps its text for the
    // next time either way.
    if (present && (prompter().execDialog(*FRunJava) != QDialog::Accepted ||
                    FRunJava->edtCommandLine->text().trimmed().isEmpty()))
        return;
    if (!present || !StartInTerminal(interpreter, FRunJava->Arguments())) {
        FMain.SetStatusText(QStringLiteral("Couldn't start java interpreter."));
        QApplication::beep();
    }
}

} // namespace bp
