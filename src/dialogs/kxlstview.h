#pragma once

#include "dialogs/filedrop.h"

#include <QWidget>

class QAbstractItemModel;
class QAbstractItemView;
class QItemSelectionModel;
class QListView;
class QModelIndex;
class QStackedLayout;
class QTreeView;

namespace bp {

// A list view that takes files dropped from the desktop (see TFileDropTarget),
// shown as large icons, small icons in columns, or details with a column per
// model column. Both views show one model with one selection, so the style
// can change without losing what is selected.
class TKxListView : public QWidget {
    Q_OBJECT
public:
    enum class TViewStyle { Icon, SmallIcon, Report };

    explicit TKxListView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model);
    QItemSelectionModel* selectionModel() const;
    // The view of the current style.
    QAbstractItemView* view() const;
    QListView* iconView() const { return FIcons; }
    QTreeView* detailsView() const { return FDetails; }

    TViewStyle ViewStyle() const { return FStyle; }
    void SetViewStyle(TViewStyle style);

    bool AcceptFiles() const { return FDrop->AcceptFiles(); }
    void SetAcceptFiles(bool accept) { FDrop->SetAcceptFiles(accept); }
    void SetOnFileDrop(TFileDropEvent handler) { FDrop->OnFileDrop = std::move(handler); }

    // Starts editing the name of the row in place.
    void EditName(int row);

signals:
    // A double-click on a row, or Enter (or a single click, where the
    // desktop opens items so).
    void itemActivated(const QModelIndex& index);
    void keyReleased(int key);
    // A context menu is wanted at the global position.
    void menuRequested(const QPoint& globalPos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void wire(QAbstractItemView* view);

    QListView* FIcons;
    QTreeView* FDetails;
    QStackedLayout* FStack;
    TFileDropTarget* FDrop;
    TViewStyle FStyle = TViewStyle::Icon;
};

} // namespace bp
