#include "dialogs/doptions95.h"

#include "dialogs/documentlistmodel.h"
#include "dialogs/kxlstview.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QListView>
#include <QRadioButton>
#include <QTabBar>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

namespace bp {

namespace {
constexpr QSize kOuterSize(402, 333);
constexpr int kDisplayHeight = 40;
} // namespace

TdlgOptions95::TdlgOptions95(IProjectManagerHost& host, QWidget* parent)
    : TdlgOptionsBase(host, parent)
{
    auto* page = new QWidget;
    tbcDisplay = new QTabBar(page);
    for (const char* tab : {"All", "Java", "HTML", "Text", "Other"})
        tbcDisplay->addTab(tr(tab));
    tbcDisplay->setExpanding(false);

    lvDocuments = new TKxListView(page);
    Model()->SetRenameEnabled(true);
    lvDocuments->setModel(Model());
    // Either look of the list is announced as the project's documents.
    lvDocuments->iconView()->setAccessibleName(tr("Documents"));
    lvDocuments->detailsView()->setAccessibleName(tr("Documents"));
    lvDocuments->detailsView()->header()->setAccessibleName(tr("Document columns"));
    // Files dropped on the list join the project.
    lvDocuments->SetAcceptFiles(true);
    lvDocuments->SetOnFileDrop(
        [this](const QStringList& files, int, int) { lvDocumentsFileDrop(files); });

    rgpDisplay = new QGroupBox(tr("Display as"), page);
    rgpDisplay->setMinimumHeight(kDisplayHeight);
    rbLargeIcons = new QRadioButton(tr("Large Icons"), rgpDisplay);
    rbSmallIcons = new QRadioButton(tr("Small Icons"), rgpDisplay);
    rbList = new QRadioButton(tr("List"), rgpDisplay);
    rbLargeIcons->setChecked(true);
    auto* displayLayout = new QHBoxLayout(rgpDisplay);
    displayLayout->setContentsMargins(6, 2, 6, 2);
    displayLayout->addWidget(rbLargeIcons);
    displayLayout->addWidget(rbSmallIcons);
    displayLayout->addWidget(rbList);

    auto* layout = new QVBoxLayout(page);
    layout->setSpacing(0);
    layout->addWidget(tbcDisplay);
    layout->addWidget(CreateDocumentToolBar(page));
    layout->addWidget(lvDocuments, 1);
    layout->addSpacing(4);
    layout->addWidget(rgpDisplay);
    InstallDocumentsPage(page, tr("Documents"));

    connect(tbcDisplay, &QTabBar::currentChanged, this, [this] { RefreshDocuments(); });
    connect(rbLargeIcons, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            lvDocuments->SetViewStyle(TKxListView::TViewStyle::Icon);
    });
    connect(rbSmallIcons, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            lvDocuments->SetViewStyle(TKxListView::TViewStyle::SmallIcon);
    });
    connect(rbList, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            lvDocuments->SetViewStyle(TKxListView::TViewStyle::Report);
    });
    connect(lvDocuments, &TKxListView::itemActivated, this, [this] {
        const QList<int> rows = SelectedRows();
        if (!rows.isEmpty())
            OpenRow(rows.first());
    });
    connect(lvDocuments, &TKxListView::keyReleased, this, [this](int key) { KeyReleased(key); });
    connect(lvDocuments, &TKxListView::menuRequested, this,
            [this](const QPoint& at) { ShowDocumentMenu(at); });

    resize(kOuterSize);
}

int TdlgOptions95::TypeTab() const
{
    return tbcDisplay->currentIndex();
}

void TdlgOptions95::SetTypeTab(int tab)
{
    tbcDisplay->setCurrentIndex(tab);
}

QItemSelectionModel* TdlgOptions95::DocumentSelection() const
{
    return lvDocuments->selectionModel();
}

QWidget* TdlgOptions95::DocumentListControl() const
{
    return lvDocuments->view();
}

} // namespace bp
