#include "dialogs/kxlstbox.h"

#include <QKeyEvent>

namespace bp {

TKxListBox::TKxListBox(QWidget* parent) : QListView(parent)
{
    FDrop = new TFileDropTarget(this, viewport());
    setDragDropMode(QAbstractItemView::NoDragDrop);
}

void TKxListBox::keyReleaseEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat())
        emit keyReleased(event->key());
    QListView::keyReleaseEvent(event);
}

} // namespace bp
