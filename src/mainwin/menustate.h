#pragma once

#include "editor/editorstate.h"

namespace bp {

struct TMainActions;

// What the active child window is: an editor of the window variant in use,
// an editor of the other variant, the project manager, or another window.
enum class TActiveChild { None, Editor, OtherEditor, Manager, Other };

// Everything the enabled state of the main menu depends on.
struct TMenuInputs {
    TActiveChild Active = TActiveChild::None;
    int ChildCount = 0;
    bool OnlyChildIsManager = false;
    // The active editor's state (either variant).
    TEditorState Editor;
    bool HasRecentFiles = false;
    bool HasProject = false;
    bool ProjectModified = false;
    int ProjectCount = 0;
    // The project lists the file named by the active editor's caption.
    bool ProjectHasActiveFile = false;
    bool ManagerHasSelection = false;
    bool ClipboardHasText = false;
    // The clipboard's text names an existing file (pasting into the manager).
    bool ClipboardNamesFile = false;
    TToolsPresent Tools;
};

// The enabled state of every menu item and tool button that has a rule.
struct TMenuState {
    bool Reopen = false;
    bool Save = false;
    bool SaveAll = false;
    bool SaveProjectButton = false;
    bool SaveAs = false;
    bool SaveProjectAs = false;
    bool Close = false;
    bool CloseAll = false;
    bool Project = false;
    bool ProjectAddDoc = false;
    bool ProjectAddAllDoc = false;
    bool ProjectRemoveDoc = false;
    bool Print = false;
    bool Undo = false;
    bool Cut = false;
    bool Copy = false;
    bool Paste = false;
    bool Delete = false;
    bool Find = false; // also Find Next, Replace and Go to Line
    bool CompileDocument = false;
    bool StopCompile = false;
    bool LoadBrowser = false;
    bool RunJava = false;
    bool WindowCommands = false; // Cascade, Tile, Arrange Icons, Minimize All

    friend bool operator==(const TMenuState&, const TMenuState&) = default;
};

TMenuState MenuState(const TMenuInputs& in);

// Sets the actions' enabled states. Add Active Document is left alone: it
// follows Add All Open Documents when the Project menu opens.
void ApplyMenuState(const TMenuState& state, const TMainActions& actions);

} // namespace bp
