#pragma once

#include <QString>

class QTabBar;
class QWidget;

namespace bp {

class TChildWindows;
struct TMainActions;
struct TSettings;

// The document tab bar (one tab per editor window, its text the window's
// caption, in the order the windows were made) kept in step with the child
// windows, and the Window menu's arrangements.
class TWindowCommands {
public:
    TWindowCommands(QTabBar& tabs, TChildWindows& children, const TSettings& settings);

    void Connect(const TMainActions& actions);

    // Gives the first tab bearing the old caption the new one, or adds a
    // tab with the new caption when there is none.
    void RenameWindowTab(const QString& oldCaption, const QString& newCaption);
    void RemoveWindowTab(const QString& caption);
    // Selects the tab of the active child (none without one).
    void SelectActiveTab();
    // The user chose a tab: its window comes to the front.
    void tcWindowsChange(int index);
    // With document tabs on, the bar shows exactly while it holds a tab;
    // with them off, it hides.
    void ApplySettings();
    void MinimizeAll();

private:
    // With document tabs on, the bar shows exactly while it holds a tab.
    void UpdateVisibility();

    QTabBar& FTabs;
    TChildWindows& FChildren;
    const TSettings& FSettings;
    // Keeps the tab bar's change and the active window's update from
    // running each other.
    bool FSyncingTabs = false;
};

} // namespace bp
