#include "mainwin/windowcommands.h"

#include "mainwin/childwindows.h"
#include "mainwin/mainactions.h"
#include "model/settings.h"

#include <QAction>
#include <QChildEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QScopedValueRollback>
#include <QTabBar>

#include <algorithm>

namespace bp {

namespace {

int findTab(const QTabBar& tabs, const QString& text)
{
    for (int i = 0; i < tabs.count(); ++i)
        if (tabs.tabText(i) == text)
            return i;
    return -1;
}

// Watches the child area: a child window that is ready (polished) is
// followed for its caption and state, one that goes away is noticed once the
// area has let go of it. Each change rebuilds the Window menu's list.
class TChildWatcher : public QObject {
public:
    TChildWatcher(QWidget& viewport, TWindowCommands& owner) : FOwner(owner)
    {
        viewport.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ChildPolished) {
            if (auto* sub =
                    qobject_cast<QMdiSubWindow*>(static_cast<QChildEvent*>(event)->child())) {
                connect(sub, &QWidget::windowTitleChanged, this, [this] { Changed(); });
                connect(sub, &QMdiSubWindow::windowStateChanged, this, [this] { Changed(); });
                Changed();
            }
        } else if (event->type() == QEvent::ChildRemoved) {
            // The child is still being taken apart here.
            QMetaObject::invokeMethod(
                this, [this] { Changed(); }, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void Changed() { FOwner.UpdateWindowList(); }

    TWindowCommands& FOwner;
};

// A caption as menu text: an "&" in it is shown, not taken as access key.
QString menuText(int number, const QString& caption)
{
    QString text = caption;
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return number <= 9 ? QStringLiteral("&%1 %2").arg(number).arg(text) : text;
}

} // namespace

TWindowCommands::TWindowCommands(QTabBar& tabs, TChildWindows& children, const TSettings& settings)
    : FTabs(tabs), FChildren(children), FSettings(settings)
{
    QObject::connect(&FTabs, &QTabBar::currentChanged, &FTabs,
                     [this](int index) { tcWindowsChange(index); });
    FWatcher = std::make_unique<TChildWatcher>(*FChildren.Area().viewport(), *this);
    QObject::connect(&FChildren.Area(), &QMdiArea::subWindowActivated, FWatcher.get(),
                     [this] { UpdateWindowList(); });
}

TWindowCommands::~TWindowCommands() = default;

void TWindowCommands::Connect(const TMainActions& a)
{
    QMdiArea* area = &FChildren.Area();
    QObject::connect(a.mnuWindowCascade, &QAction::triggered, area, &QMdiArea::cascadeSubWindows);
    QObject::connect(a.mnuWindowTile, &QAction::triggered, area, &QMdiArea::tileSubWindows);
    QObject::connect(a.mnuWindowArrange, &QAction::triggered, area, [this] { ArrangeIcons(); });
    QObject::connect(a.mnuWindowMinimize, &QAction::triggered, area, [this] { MinimizeAll(); });
    FWindowMenu = a.mnuWindow;
    FListSeparator = FWindowMenu->addSeparator();
    FListSeparator->setVisible(false);
    // Whatever happened since the last update, the menu shows things as they are.
    QObject::connect(FWindowMenu, &QMenu::aboutToShow, FWindowMenu, [this] { UpdateWindowList(); });
    UpdateWindowList();
}

void TWindowCommands::MinimizeAll()
{
    const QList<QMdiSubWindow*> children = FChildren.Children();
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        (*it)->showMinimized();
    UpdateWindowList();
}

void TWindowCommands::ArrangeIcons()
{
    const QWidget* viewport = FChildren.Area().viewport();
    const int width = viewport->width();
    int left = 0;
    int bottom = viewport->height();
    int rowHeight = 0;
    for (QMdiSubWindow* sub : FChildren.Children()) {
        if (!sub->isMinimized() || sub->isHidden())
            continue;
        const QSize size = sub->size();
        if (left > 0 && left + size.width() > width) {
            bottom -= rowHeight;
            left = 0;
            rowHeight = 0;
        }
        sub->move(left, bottom - size.height());
        left += size.width();
        rowHeight = std::max(rowHeight, size.height());
    }
}

void TWindowCommands::UpdateWindowList()
{
    if (!FWindowMenu)
        return;
    // An entry may be the one being chosen right now: it goes later.
    for (QAction* item : std::as_const(FListItems)) {
        FWindowMenu->removeAction(item);
        item->deleteLater();
    }
    FListItems.clear();
    const QList<QMdiSubWindow*> children = FChildren.Children();
    QMdiSubWindow* active = FChildren.Active();
    for (int i = 0; i < children.size(); ++i) {
        QPointer<QMdiSubWindow> sub = children[i];
        auto* item = new QAction(menuText(i + 1, TChildWindows::Caption(sub)), FWindowMenu);
        item->setObjectName(QStringLiteral("mnuWindowChild"));
        item->setCheckable(true);
        item->setChecked(sub == active);
        QObject::connect(item, &QAction::triggered, FWindowMenu, [this, sub] {
            if (sub)
                ActivateChild(sub);
        });
        FWindowMenu->addAction(item);
        FListItems << item;
    }
    FListSeparator->setVisible(!FListItems.isEmpty());
}

void TWindowCommands::ActivateChild(QMdiSubWindow* child)
{
    FChildren.Activate(int(FChildren.Children().indexOf(child)));
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
