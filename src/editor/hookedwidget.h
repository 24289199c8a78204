#pragma once

#include "editor/textcontrol.h"

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QKeyEvent>

namespace bp {

// The widget behind a text control: hands key and context-menu events to
// the control's hooks and lets the application's shortcuts win over the
// widget's own key bindings. A key the hook leaves goes to ownKeyPress.
// Dragged files pass the widget by, on to the main window, which opens them.
template <typename Widget>
class HookedWidget : public Widget {
public:
    explicit HookedWidget(TextControl& owner) : FOwner(owner) {}

protected:
    virtual void ownKeyPress(QKeyEvent* e) { Widget::keyPressEvent(e); }

    bool event(QEvent* e) override { return leaveShortcutToMenu(e) || Widget::event(e); }

    void keyPressEvent(QKeyEvent* e) override
    {
        if (FOwner.onKeyPress && FOwner.onKeyPress(e)) {
            e->accept();
            return;
        }
        ownKeyPress(e);
    }

    void keyReleaseEvent(QKeyEvent* e) override
    {
        Widget::keyReleaseEvent(e);
        if (FOwner.onKeyRelease)
            FOwner.onKeyRelease(e);
    }

    // An ignored drag goes on to the parent widgets; a drop goes where the
    // drag was accepted.
    void dragEnterEvent(QDragEnterEvent* e) override
    {
        if (carriesFiles(e->mimeData()))
            e->ignore();
        else
            Widget::dragEnterEvent(e);
    }

    void dragMoveEvent(QDragMoveEvent* e) override
    {
        if (carriesFiles(e->mimeData()))
            e->ignore();
        else
            Widget::dragMoveEvent(e);
    }

    void dropEvent(QDropEvent* e) override
    {
        if (carriesFiles(e->mimeData()))
            e->ignore();
        else
            Widget::dropEvent(e);
    }

    void contextMenuEvent(QContextMenuEvent* e) override
    {
        if (!FOwner.onContextMenu) {
            Widget::contextMenuEvent(e);
            return;
        }
        // Mouse events arrive through the viewport; the hook speaks in the
        // coordinates of the whole widget.
        FOwner.onContextMenu(this->mapFromGlobal(e->globalPos()));
        e->accept();
    }

    TextControl& FOwner;
};

} // namespace bp
