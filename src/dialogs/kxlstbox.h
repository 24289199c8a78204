#pragma once

#include "dialogs/filedrop.h"

#include <QListView>

namespace bp {

// A list box that takes files dropped from the desktop (see TFileDropTarget).
class TKxListBox : public QListView {
    Q_OBJECT
public:
    explicit TKxListBox(QWidget* parent = nullptr);

    bool AcceptFiles() const { return FDrop->AcceptFiles(); }
    void SetAcceptFiles(bool accept) { FDrop->SetAcceptFiles(accept); }
    void SetOnFileDrop(TFileDropEvent handler) { FDrop->OnFileDrop = std::move(handler); }

signals:
    void keyReleased(int key);

protected:
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    TFileDropTarget* FDrop;
};

} // namespace bp
