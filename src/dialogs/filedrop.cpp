#include "dialogs/filedrop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace bp {

QStringList DroppedFiles(const QMimeData* mime)
{
    QStringList files;
    if (!mime || !mime->hasUrls())
        return files;
    const QList<QUrl> urls = mime->urls();
    for (const QUrl& url : urls) {
        if (url.isLocalFile())
            files << url.toLocalFile();
    }
    return files;
}

TFileDropTarget::TFileDropTarget(QWidget* control, QWidget* viewport)
    : QObject(control), FControl(control)
{
    AddViewport(viewport);
}

void TFileDropTarget::AddViewport(QWidget* viewport)
{
    FViewports << viewport;
    viewport->installEventFilter(this);
    viewport->setAcceptDrops(FAcceptFiles);
}

void TFileDropTarget::SetAcceptFiles(bool accept)
{
    FAcceptFiles = accept;
    for (QWidget* viewport : std::as_const(FViewports))
        viewport->setAcceptDrops(accept);
}

bool TFileDropTarget::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    // The list's own drag handling (moving items) never sees a file drag.
    auto* drop = static_cast<QDropEvent*>(event);
    if (!FAcceptFiles || DroppedFiles(drop->mimeData()).isEmpty()) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type != QEvent::Drop)
        return true;

    // The paths are copied out of the drag before the owner runs: a handler
    // that opens another window may end the drag's data.
    const QStringList files = DroppedFiles(drop->mimeData());
    const QPoint at = static_cast<QWidget*>(watched)->mapTo(FControl, drop->position().toPoint());
    if (OnFileDrop)
        OnFileDrop(files, at.x(), at.y());
    return true;
}

} // namespace bp
