#include "mainwin/windowcommands.h"

#include "mainwin/childwindows.h"
#include "mainwin/mainactions.h"
#include "model/settings.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScopedValueRollback>
#include <QTabBar>

namespace bp {

namespace {

int findTab(const QTabBar& tabs, const QString& text)
{
    for (int i = 0; i < tabs.count(); ++i)
        if (tabs.tabText(i) == text)
            return i;
    return -1;
}

} // namespace

TWindowCommands::TWindowCommands(QTabBar& tabs, TChildWindows& children, const TSettings& settings)
    : FTabs(tabs), FChildren(children), FSettings(settings)
{
    QObject::connect(&FTabs, &QTabBar::currentChanged, &FTabs,
                     [this](int index) { tcWindowsChange(index); });
}

void TWindowCommands::Connect(const TMainActions& a)
{
    QMdiArea* area = &FChildren.Area();
    QObject::connect(a.mnuWindowCascade, &QAction::triggered, area, &QMdiArea::cascadeSubWindows);
    QObject::connect(a.mnuWindowTile, &QAction::triggered, area, &QMdiArea::tileSubWindows);
    QObject::connect(a.mnuWindowMinimize, &QAction::triggered, area, [this] { MinimizeAll(); });
}

void TWindowCommands::MinimizeAll()
{
    const QList<QMdiSubWindow*> children = FChildren.Children();
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        (*it)->showMinimized();
}

void TWindowCommands::UpdateVisibility()
{
    if (FSettings.ShowDocTabs)
        FTabs.setVisible(FTabs.count() > 0);
}

void TWindowCommands::ApplySettings()
{
    if (FSettings.ShowDocTabs)
        UpdateVisibility();
    else
        FTabs.hide();
}

void TWindowCommands::RenameWindowTab(const QString& oldCaption, const QString& newCaption)
{
    const int index = findTab(FTabs, oldCaption);
    {
        const QScopedValueRollback syncing(FSyncingTabs, true);
        if (index < 0)
            FTabs.addTab(newCaption);
        else
            FTabs.setTabText(index, newCaption);
    }
    UpdateVisibility();
}

void TWindowCommands::RemoveWindowTab(const QString& caption)
{
    {
        const QScopedValueRollback syncing(FSyncingTabs, true);
        if (const int index = findTab(FTabs, caption); index >= 0)
            FTabs.removeTab(index);
    }
    UpdateVisibility();
}

void TWindowCommands::SelectActiveTab()
{
    if (FSyncingTabs)
        return;
    const QScopedValueRollback syncing(FSyncingTabs, true);
    QMdiSubWindow* active = FChildren.Active();
    FTabs.setCurrentIndex(active ? findTab(FTabs, TChildWindows::Caption(active)) : -1);
}

void TWindowCommands::tcWindowsChange(int index)
{
    if (FSyncingTabs || index < 0)
        return;
    const QScopedValueRollback syncing(FSyncingTabs, true);
    const QString text = FTabs.tabText(index);
    QMdiSubWindow* active = FChildren.Active();
    if (active && active->widget() && active->widget()->windowTitle() == text)
        return;
    const QList<QMdiSubWindow*> children = FChildren.Children();
    for (int i = 0; i < children.size(); ++i) {
        if (children[i]->widget() && children[i]->widget()->windowTitle() == text) {
            FChildren.Activate(i);
            return;
        }
    }
}

} // namespace bp
