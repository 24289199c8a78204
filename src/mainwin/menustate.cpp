#include "mainwin/menustate.h"

#include "mainwin/mainactions.h"

#include <QAction>
#include <QMenu>

namespace bp {

TMenuState MenuState(const TMenuInputs& in)
{
    const bool child = in.Active != TActiveChild::None;
    const bool editor = in.Active == TActiveChild::Editor;
    const bool anyEditor = editor || in.Active == TActiveChild::OtherEditor;
    const bool manager = in.Active == TActiveChild::Manager;
    const bool project = in.HasProject;

    TMenuState s;
    s.Reopen = in.HasRecentFiles;
    s.Save = editor;
    s.SaveAll = editor || (project && in.ProjectModified);
    s.SaveProjectButton = project;
    s.SaveAs = editor;
    s.SaveProjectAs = project;
    s.Close = child;
    s.CloseAll = child;
    s.Project = project;
    s.ProjectAddDoc = project;
    s.ProjectAddAllDoc = project && in.ChildCount > 0 && !in.OnlyChildIsManager;
    s.ProjectRemoveDoc = project && in.ProjectCount >= 1 && child;
    if (s.ProjectRemoveDoc && anyEditor)
        s.ProjectRemoveDoc = in.ProjectHasActiveFile;
    if (s.ProjectRemoveDoc && manager)
        s.ProjectRemoveDoc = in.ManagerHasSelection;
    s.Find = editor && in.Editor.HasText;
    s.Print = in.Tools.Printer && s.Find;
    s.Undo = editor;
    s.Cut = child && (!manager || in.ManagerHasSelection);
    s.Copy = s.Cut;
    s.Delete = s.Cut;
    s.Paste = child;
    if (s.Cut && anyEditor)
        s.Paste = in.ClipboardHasText;
    else if (s.Cut && manager)
        s.Paste = in.ClipboardNamesFile;
    // One compile at a time in a window; the running one can be stopped.
    s.CompileDocument = editor && RunsTool(in.Editor, TDocType::Java, in.Tools.Compiler) &&
                        !in.Editor.Compiling;
    s.StopCompile = anyEditor && in.Editor.Compiling;
    s.LoadBrowser = editor && RunsTool(in.Editor, TDocType::Html, in.Tools.Browser);
    s.RunJava = in.Tools.Interpreter;
    s.WindowCommands = in.ChildCount > 0;
    return s;
}

void ApplyMenuState(const TMenuState& s, const TMainActions& a)
{
    a.mnuFileReopen->menuAction()->setEnabled(s.Reopen);
    a.mnuFileSave->setEnabled(s.Save);
    a.mnuFileSaveAll->setEnabled(s.SaveAll);
    a.cmdSaveProject->setEnabled(s.SaveProjectButton);
    a.mnuFileSaveAs->setEnabled(s.SaveAs);
    a.mnuFileSaveProjectAs->setEnabled(s.SaveProjectAs);
    a.mnuFileClose->setEnabled(s.Close);
    a.mnuFileCloseAll->setEnabled(s.CloseAll);
    a.mnuProject->menuAction()->setEnabled(s.Project);
    a.mnuProjectAddDoc->setEnabled(s.ProjectAddDoc);
    a.mnuProjectAddAllDoc->setEnabled(s.ProjectAddAllDoc);
    a.mnuProjectRemoveDoc->setEnabled(s.ProjectRemoveDoc);
    a.mnuFilePrint->setEnabled(s.Print);
    a.mnuEditUndo->setEnabled(s.Undo);
    a.mnuEditCut->setEnabled(s.Cut);
    a.mnuEditCopy->setEnabled(s.Copy);
    a.mnuEditPaste->setEnabled(s.Paste);
    a.mnuEditDelete->setEnabled(s.Delete);
    for (QAction* item :
         {a.mnuSearchFind, a.mnuSearchFindNext, a.mnuSearchReplace, a.mnuSearchGotoLine})
        item->setEnabled(s.Find);
    a.mnuRunCompileDocument->setEnabled(s.CompileDocument);
    a.mnuRunStopCompile->setEnabled(s.StopCompile);
    a.mnuRunLoadBrowser->setEnabled(s.LoadBrowser);
    a.mnuRunJava->setEnabled(s.RunJava);
    for (QAction* item :
         {a.mnuWindowCascade, a.mnuWindowTile, a.mnuWindowArrange, a.mnuWindowMinimize})
        item->setEnabled(s.WindowCommands);
}

} // namespace bp
