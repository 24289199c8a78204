#include "editor/textcontrol.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

namespace bp {

bool leaveShortcutToMenu(QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride)
        return false;
    // Menu shortcuts (Ctrl+Z, Ctrl+C, Ctrl+Del ...) go to the menu; a key
    // that no shortcut takes still reaches the widget's keyPressEvent.
    auto* key = static_cast<QKeyEvent*>(event);
    if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    key->ignore();
    return true;
}

bool carriesFiles(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return false;
    const QList<QUrl> urls = data->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

} // namespace bp
