#include "editor/compileresults.h"

#include "platform/errors.h"
#include "platform/fileservices.h"
#include "platform/guarded.h"

#include <QKeyEvent>
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
    FList->setAccessibleName(tr("Compiler output"));
    FList->setFrameShape(QFrame::NoFrame);
    FList->setUniformItemSizes(true);
    FList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FLines = new QStringListModel(FList);
    FList->setModel(FLines);
    connect(FList, &QListView::doubleClicked, this,
            [this] { guarded(this, [this] { activateSelected(); }); });
    // Enter is handled here rather than through the view's activated signal,
    // which some styles also send for a single click.
    FList->installEventFilter(this);
    layout->addWidget(FList);
    hide();
}

bool TCompileResultsPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FList && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            guarded(this, [this] { activateSelected(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TCompileResultsPanel::clearAndShow()
{
    FLines->setStringList({});
    emit errorLinesShown({});
    show();
}

void TCompileResultsPanel::showRefusal(const QString& refusal)
{
    FLines->setStringList({refusal});
}

TCompilerOutputAnalysis TCompileResultsPanel::showOutput(const QStringList& lines,
                                                         std::optional<bool> exitedCleanly)
{
    TCompilerOutputAnalysis analysis = AnalyseCompilerOutput(lines, FDocumentPath(), exitedCleanly);
    if (lines.isEmpty())
        hide();
    else
        FLines->setStringList(lines);
    emit errorLinesShown(analysis.ErrorLineNumbers());
    return analysis;
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
    if (!jump.Line)
        return;
    if (jump.File.isEmpty())
        emit sourceLineChosen(*jump.Line);
    else if (files::exists(jump.File))
        emit fileLineChosen(jump.File, *jump.Line);
    else
        emit fileNotFound(jump.File);
}

} // namespace bp
