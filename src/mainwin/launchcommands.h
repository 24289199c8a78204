#pragma once

#include <memory>

class QWidget;

namespace bp {

class IMainWindow;
class TBrowserDde;
class TChildWindows;
class TdlgRunJava;
struct TMainActions;
struct TSettings;

// The Run menu's launches: Load in Browser, relayed to the active editor,
// and Run Java with its dialog. Keeps the one conversation with a running
// browser that every editor window shares.
class TLaunchCommands {
public:
    TLaunchCommands(QWidget& parent, IMainWindow& main, TChildWindows& children);
    ~TLaunchCommands();

    void Connect(const TMainActions& actions);
    TBrowserDde& BrowserDde() { return *FBrowserDde; }
    // The Run Java dialog; it lives as long as the main window.
    TdlgRunJava& RunJavaDialog() { return *FRunJava; }

    void mnuRunLoadBrowserClick();
    // Asks for a command line and runs the interpreter with it in a
    // terminal window.
    void mnuRunJavaClick();

private:
    QWidget& FParent;
    IMainWindow& FMain;
    TChildWindows& FChildren;
    std::unique_ptr<TBrowserDde> FBrowserDde;
    TdlgRunJava* FRunJava = nullptr; // owned by the parent
};

} // namespace bp
