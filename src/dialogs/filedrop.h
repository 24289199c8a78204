#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QMimeData;
class QWidget;

namespace bp {

// Files dropped from the desktop: full paths in the order the drag listed
// them, and the drop point in the receiving control's coordinates.
using TFileDropEvent = std::function<void(const QStringList& Files, int X, int Y)>;

// The local files a drag carries, in its order; empty when it carries none.
QStringList DroppedFiles(const QMimeData* mime);

// Makes a list control's viewport take dropped files for the control: one
// OnFileDrop call per drop, with every path at once. While AcceptFiles is
// False the viewport takes no drops, so that they reach the window around it.
class TFileDropTarget : public QObject {
public:
    // control gives the coordinates of the drop point; viewport receives the drops.
    TFileDropTarget(QWidget* control, QWidget* viewport);

    bool AcceptFiles() const { return FAcceptFiles; }
    void SetAcceptFiles(bool accept);
    TFileDropEvent OnFileDrop;

    // Adds another viewport that drops are taken on (a second view of the list).
    void AddViewport(QWidget* viewport);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* FControl;
    QList<QWidget*> FViewports;
    bool FAcceptFiles = false;
};

} // namespace bp
