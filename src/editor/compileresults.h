#pragma once

#include "tools/compileroutput.h"

#include <QList>
#include <QWidget>

#include <functional>
#include <optional>

class QListView;
class QStringListModel;

namespace bp {

// The editor window's list of what the compiler printed (pnlErrors with its
// list lstErrors): filled after a compile, the document's first error line
// selected, and a double-clicked line (or Enter on it) turned into the source
// line it names, in the document or in another file. The lines are a plain
// list of strings behind the view, so that tens of thousands of them are
// listed without an object for each.
class TCompileResultsPanel : public QWidget {
    Q_OBJECT

public:
    // documentPath gives the path of the document the lines speak of; it is
    // asked at each double-click, so a renamed document is followed.
    TCompileResultsPanel(std::function<QString()> documentPath, QWidget* parent);

    QListView* list() const { return FList; }

    // Empties the list and shows the panel while a compile runs; the last
    // compile's error lines are gone (errorLinesShown with none).
    void clearAndShow();
    // Lists a refusal (the document was not compiled) as the only line.
    void showRefusal(const QString& refusal);
    // Lists the compiler's lines and returns what they say, judged by the
    // exit status when known (see TCompilerOutputAnalysis); announces the
    // document's error lines. Without lines the panel hides.
    TCompilerOutputAnalysis showOutput(const QStringList& lines,
                                       std::optional<bool> exitedCleanly = std::nullopt);
    // Selects line row (nothing for -1), scrolls it into view and leads to
    // its source line as a double-click does.
    void selectLine(qsizetype row);
    // The double-click (and Enter): the selected line's source line is
    // announced with sourceLineChosen, or with fileLineChosen when it lies in
    // another file, or fileNotFound when that file is not there. Throws
    // EBrewpadError when the line's number is no number.
    void activateSelected();

Q_SIGNALS:
    void sourceLineChosen(int lineNumber);
    // path is absolute; the file existed when the line was chosen.
    void fileLineChosen(const QString& path, int lineNumber);
    void fileNotFound(const QString& path);
    // The document's error lines by their numbers, after each compile (none
    // when it starts, and after one without errors).
    void errorLinesShown(const QList<int>& lineNumbers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<QString()> FDocumentPath;
    QListView* FList = nullptr;
    QStringListModel* FLines = nullptr;
};

} // namespace bp
