#include "dialogs/doptions.h"

#include "dialogs/documentlistmodel.h"
#include "dialogs/kxlstbox.h"

#include <QApplication>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace bp {

namespace {

constexpr QSize kOuterSize(439, 316);
constexpr int kBitmapSize = 16;

// Draws an item as the list box's owner: its type's picture at two pixels
// from the left, then the name six pixels after the picture.
class TDocumentItemDelegate : public QStyledItemDelegate {
public:
    TDocumentItemDelegate(const TDocumentListModel& model, QObject* parent)
        : QStyledItemDelegate(parent), FModel(model)
    {
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        const TDocumentRow& row = FModel.Row(index.row());
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& pal = option.palette;
        painter->fillRect(option.rect, selected ? pal.highlight() : pal.base());
        const QPixmap& pixmap = FModel.Icons().SmallPixmap(row.Type, row.Missing);
        painter->drawPixmap(option.rect.left() + 2, option.rect.top(), pixmap);
        QRect text = option.rect;
        text.setLeft(option.rect.left() + pixmap.width() + 6);
        painter->setPen(row.Missing ? pal.color(QPalette::Disabled, QPalette::Text)
                        : selected  ? pal.color(QPalette::HighlightedText)
                                    : pal.color(QPalette::Text));
        painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter, row.Name);
        if (option.state & QStyle::State_HasFocus)
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const int text = option.fontMetrics.horizontalAdvance(FModel.Row(index.row()).Name);
        return QSize(2 + kBitmapSize + 6 + text + 2,
                     std::max(kBitmapSize, option.fontMetrics.height()) + 2);
    }

private:
    const TDocumentListModel& FModel;
};

} // namespace

TdlgOptions::TdlgOptions(IProjectManagerHost& host, QWidget* parent) : TdlgOptionsBase(host, parent)
{
    auto* page = new QWidget;
    lstDocuments = new TKxListBox(page);
    lstDocuments->setModel(Model());
    lstDocuments->setAccessibleName(tr("Documents"));
    lstDocuments->setModelColumn(TDocumentListModel::colName);
    lstDocuments->setUniformItemSizes(true);
    lstDocuments->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstDocuments->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstDocuments->setItemDelegate(new TDocumentItemDelegate(*Model(), lstDocuments));
    lstDocuments->setContextMenuPolicy(Qt::CustomContextMenu);
    // Files dropped on the list join the project.
    lstDocuments->SetAcceptFiles(true);
    lstDocuments->SetOnFileDrop(
        [this](const QStringList& files, int, int) { lvDocumentsFileDrop(files); });

    tsDisplay = new QTabBar(page);
    tsDisplay->setShape(QTabBar::RoundedSouth);
    for (const char* tab : {"All", "Java", "HTML", "Text", "Other"})
        tsDisplay->addTab(tr(tab));
    tsDisplay->setExpanding(false);

    auto* layout = new QVBoxLayout(page);
    layout->setSpacing(0);
    layout->addWidget(CreateDocumentToolBar(page));
    layout->addWidget(lstDocuments, 1);
    layout->addWidget(tsDisplay);
    InstallDocumentsPage(page, tr("Documents"));

    connect(tsDisplay, &QTabBar::currentChanged, this, [this] { RefreshDocuments(); });
    // A double-click or Enter opens the document.
    connect(lstDocuments, &QAbstractItemView::activated, this, [this] {
        const QList<int> rows = SelectedRows();
        if (!rows.isEmpty())
            OpenRow(rows.first());
    });
    connect(lstDocuments, &TKxListBox::keyReleased, this, [this](int key) { KeyReleased(key); });
    connect(lstDocuments, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        ShowDocumentMenu(lstDocuments->viewport()->mapToGlobal(pos));
    });

    resize(kOuterSize);
}

int TdlgOptions::TypeTab() const
{
    return tsDisplay->currentIndex();
}

void TdlgOptions::SetTypeTab(int tab)
{
    tsDisplay->setCurrentIndex(tab);
}

QItemSelectionModel* TdlgOptions::DocumentSelection() const
{
    return lstDocuments->selectionModel();
}

QWidget* TdlgOptions::DocumentListControl() const
{
    return lstDocuments;
}

} // namespace bp
