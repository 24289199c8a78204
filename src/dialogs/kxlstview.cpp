#include "dialogs/kxlstview.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QStackedLayout>
#include <QTreeView>

namespace bp {

TKxListView::TKxListView(QWidget* parent) : QWidget(parent)
{
    FIcons = new QListView(this);
    FIcons->setUniformItemSizes(true);
    FIcons->setWordWrap(true);
    FIcons->setMovement(QListView::Static);
    FIcons->setResizeMode(QListView::Adjust);
    // Lays out a large list in steps, so the first rows show at once.
    FIcons->setLayoutMode(QListView::Batched);
    FIcons->setBatchSize(500);

    FDetails = new QTreeView(this);
    FDetails->setRootIsDecorated(false);
    FDetails->setItemsExpandable(false);
    FDetails->setUniformRowHeights(true);
    FDetails->setAllColumnsShowFocus(true);
    FDetails->header()->setStretchLastSection(false);
    // Columns fit the rows in sight: measuring every row of a large list
    // would read thousands of file dates before the list first shows.
    FDetails->header()->setResizeContentsPrecision(0);

    FStack = new QStackedLayout(this);
    FStack->setContentsMargins(0, 0, 0, 0);
    FStack->addWidget(FIcons);
    FStack->addWidget(FDetails);

    FDrop = new TFileDropTarget(this, FIcons->viewport());
    FDrop->AddViewport(FDetails->viewport());
    wire(FIcons);
    wire(FDetails);
    SetViewStyle(TViewStyle::Icon);
}

void TKxListView::wire(QAbstractItemView* view)
{
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    view->setDragDropMode(QAbstractItemView::NoDragDrop);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    view->installEventFilter(this);
    connect(view, &QAbstractItemView::activated, this, &TKxListView::itemActivated);
    connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& pos) {
        emit menuRequested(view->viewport()->mapToGlobal(pos));
    });
}

void TKxListView::setModel(QAbstractItemModel* model)
{
    FIcons->setModel(model);
    FDetails->setModel(model);
    // One selection for both views: the old one of the details view goes.
    QItemSelectionModel* own = FDetails->selectionModel();
    FDetails->setSelectionModel(FIcons->selectionModel());
    delete own;
    FDetails->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

QItemSelectionModel* TKxListView::selectionModel() const
{
    return FIcons->selectionModel();
}

QAbstractItemView* TKxListView::view() const
{
    return FStyle == TViewStyle::Report ? static_cast<QAbstractItemView*>(FDetails) : FIcons;
}

void TKxListView::SetViewStyle(TViewStyle style)
{
    const bool hadFocus = view()->hasFocus();
    FStyle = style;
    switch (style) {
    case TViewStyle::Icon:
        FIcons->setViewMode(QListView::IconMode);
        FIcons->setIconSize(QSize(32, 32));
        FIcons->setFlow(QListView::LeftToRight);
        FIcons->setWrapping(true);
        FIcons->setGridSize(QSize(96, 64));
        FIcons->setMovement(QListView::Static);
        FStack->setCurrentWidget(FIcons);
        break;
    case TViewStyle::SmallIcon:
        FIcons->setViewMode(QListView::ListMode);
        FIcons->setIconSize(QSize(16, 16));
        FIcons->setFlow(QListView::TopToBottom);
        FIcons->setWrapping(true);
        FIcons->setGridSize(QSize());
        FStack->setCurrentWidget(FIcons);
        break;
    case TViewStyle::Report:
        FDetails->setIconSize(QSize(16, 16));
        FStack->setCurrentWidget(FDetails);
        break;
    }
    if (hadFocus)
        view()->setFocus();
}

void TKxListView::EditName(int row)
{
    QAbstractItemView* v = view();
    if (v->model() && row >= 0 && row < v->model()->rowCount())
        v->edit(v->model()->index(row, 0));
}

bool TKxListView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyRelease && (watched == FIcons || watched == FDetails)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat())
            emit keyReleased(key->key());
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace bp
