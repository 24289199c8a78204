#pragma once

#include "model/brewpaddefs.h"

namespace bp {

struct TSettings;

// Which external programs the commands can use: the files named by the
// settings exist (checked when settings are applied, and again by a command
// just before it starts one), and whether the print dialog could print
// somewhere at start (a printer, or a PDF file).
struct TToolsPresent {
    bool Compiler = false;
    bool Browser = false;
    bool Interpreter = false;
    bool Printer = false;

    friend bool operator==(const TToolsPresent&, const TToolsPresent&) = default;
};

// Looks the settings' programs up on disk now.
TToolsPresent FindTools(const TSettings& settings, bool printer);

// What the menus and buttons need to know of one editor window. Cheap to
// compute, so that the window can tell after every edit whether it changed.
struct TEditorState {
    bool HasDocument = false;
    TDocType DocType = TDocType::Other;
    // No document, or one that was never saved.
    bool Untitled = true;
    // The text has at least one line.
    bool HasText = false;
    bool Modified = false;
    bool Selection = false;
    bool ReadOnly = false;
    // A compile of the document runs.
    bool Compiling = false;

    friend bool operator==(const TEditorState&, const TEditorState&) = default;
};

// The rule shared by the Compile and Browser commands of the menu and the
// editor's buttons: a document of that type with text, and its program there.
bool RunsTool(const TEditorState& state, TDocType type, bool toolPresent);

// The editor window's tool buttons that follow its state.
struct TEditorButtons {
    bool Save = false;
    bool Print = false;
    bool Find = false; // also Replace and Go to Line
    bool JavaVisible = false;
    bool JavaEnabled = false;
    bool BrowserVisible = false;
    bool BrowserEnabled = false;
    bool Paste = false;

    friend bool operator==(const TEditorButtons&, const TEditorButtons&) = default;
};

TEditorButtons EditorButtons(const TEditorState& state, const TToolsPresent& tools,
                             bool clipboardHasText);

} // namespace bp
