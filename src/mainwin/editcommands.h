#pragma once

class QWidget;

namespace bp {

class TChildWindows;
struct TMainActions;

// The Edit menu's relays to the active child window: Undo to an editor of
// the variant in use, the clipboard commands to an editor of either variant
// or to the project manager.
class TEditCommands {
public:
    TEditCommands(QWidget& parent, TChildWindows& children);
    void Connect(const TMainActions& actions);

private:
    QWidget& FParent;
    TChildWindows& FChildren;
};

// The Run menu's commands: Compile Document, relayed to the active editor.
class TRunCommands {
public:
    TRunCommands(QWidget& parent, TChildWindows& children);
    void Connect(const TMainActions& actions);
    void cmdCompileClick();

private:
    QWidget& FParent;
    TChildWindows& FChildren;
};

} // namespace bp
