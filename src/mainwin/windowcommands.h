#pragma once

#include <QList>
#include <QString>

#include <memory>

class QAction;
class QMenu;
class QMdiSubWindow;
class QObject;
class QTabBar;
class QWidget;

namespace bp {

class TChildWindows;
struct TMainActions;
struct TSettings;

// The document tab bar (one tab per editor window, its text the window's
// caption, in the order the windows were made) kept in step with the child
// windows, and the Window menu: its arrangements and the list of the open
// child windows below them.
class TWindowCommands {
public:
    TWindowCommands(QTabBar& tabs, TChildWindows& children, const TSettings& settings);
    ~TWindowCommands();

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
    // Lays the minimised children out in rows along the bottom of the child
    // area, in child order from the left, a new row above a full one.
    void ArrangeIcons();

    // Lists the child windows at the end of the Window menu, in child
    // order, the active one checked. Runs whenever the set of children,
    // their captions, their states or the active one may have changed.
    void UpdateWindowList();
    // The Window menu's entries for the child windows, in child order.
    QList<QAction*> WindowListItems() const { return FListItems; }

private:
    // With document tabs on, the bar shows exactly while it holds a tab.
    void UpdateVisibility();
    void ActivateChild(QMdiSubWindow* child);

    QTabBar& FTabs;
    TChildWindows& FChildren;
    const TSettings& FSettings;
    QMenu* FWindowMenu = nullptr;
    QAction* FListSeparator = nullptr;
    QList<QAction*> FListItems;
    // Follows children coming and going, and their captions and states.
    std::unique_ptr<QObject> FWatcher;
    // Keeps the tab bar's change and the active window's update from
    // running each other.
    bool FSyncingTabs = false;
};

} // namespace bp
