#pragma once

#include "editor/mainservices.h"

#include <functional>
#include <optional>

class QWidget;

namespace bp {

class TChildWindows;
class TdlgFind;
struct TMainActions;

// The Search menu: the shared, modeless Find and Replace dialogs (which
// always carry the same find text and options, whichever was used last),
// Find Next and Go to Line, relayed to the active editor.
class TSearchCommands {
public:
    // changed is called after a replace, which may change the menus.
    TSearchCommands(QWidget& parent, TChildWindows& children, std::function<void()> changed);

    void Connect(const TMainActions& actions);

    TdlgFind* dlgFind() const { return FFindDialog; }
    TdlgFind* dlgReplace() const { return FReplaceDialog; }
    TSearchRequest FindRequest() const;
    TSearchRequest ReplaceRequest() const;

    void SearchFind();
    void SearchReplace();
    void SearchFindNext();
    void dlgFindFind();
    void dlgReplaceFind();
    void dlgReplaceReplace();
    std::optional<int> AskLineNumber();
    void mnuSearchGotoLineClick();

private:
    QWidget& FParent;
    TChildWindows& FChildren;
    std::function<void()> FChanged;
    TdlgFind* FFindDialog = nullptr;
    TdlgFind* FReplaceDialog = nullptr;
};

} // namespace bp
