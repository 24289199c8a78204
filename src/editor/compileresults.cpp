#include "editor/compileresults.h"

#include "platform/errors.h"
#include "platform/guarded.h"

#include <QListView>
#include <QStringListModel>
#include <QVBoxLayout>

namespace bp {

TCompileResultsPanel::TCompileResultsPanel(std::function<QString()> documentPath, QWidget* parent)
    : QWidget(parent), FDocumentPath(std::move(documentPath))
{
    setObjectName(QStringLiteral("pnlErrors"));
    setFixedHeight(86);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    FList = new QListView(this);
    FList->setObjectName(QStringLiteral("lstErrors"));
    FList->setFrameShape(QFrame::NoFrame);
    FList->setUniformItemSizes(true);
    FList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FLines = new QStringListModel(FList);
    FList->setModel(FLines);
    connect(FList, &QListView::doubleClicked, this,
            [this] { guarded(this, [this] { activateSelected(); }); });
    layout->addWidget(FList);
    hide();
}

void TCompileResultsPanel::clearAndShow()
{
    FLines->setStringList({});
    show();
}

void TCompileResultsPanel::showRefusal(const QString& refusal)
{
    FLines->setStringList({refusal});
}

TCompilerOutputAnalysis TCompileResultsPanel::showOutput(const QStringList& lines,
                                                         std::optional<bool> /*exitedCleanly*/)
{
    if (lines.isEmpty()) {
        hide();
        return {};
    }
    FLines->setStringList(lines);
    return AnalyseCompilerOutput(lines, FDocumentPath());
}

void TCompileResultsPanel::selectLine(qsizetype row)
{
    if (row < 0 || row >= FLines->rowCount())
        return;
    const QModelIndex index = FLines->index(int(row));
    FList->setCurrentIndex(index);
    FList->scrollTo(index);
    activateSelected();
}

void TCompileResultsPanel::activateSelected()
{
    const QModelIndexList selected = FList->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    const TCompilerJump jump = CompilerJump(selected.first().data().toString(), FDocumentPath());
    if (!jump.Error.isEmpty())
        throw EBrewpadError(jump.Error);
    if (jump.Line)
        emit sourceLineChosen(*jump.Line);
}

} // namespace bp
