#pragma once

#include "tools/compileroutput.h"

#include <QWidget>

#include <functional>
#include <optional>

class QListView;
class QStringListModel;

namespace bp {

// The editor window's list of what the compiler printed (pnlErrors with its
// list lstErrors): filled after a compile, its first error line selected, and
// a double-clicked line turned into the source line the editor selects. The
// lines are a plain list of strings behind the view, so that tens of
// thousands of them are listed without an object for each.
class TCompileResultsPanel : public QWidget {
    Q_OBJECT

public:
    // documentPath gives the path of the document the lines speak of; it is
    // asked at each double-click, so a renamed document is followed.
    TCompileResultsPanel(std::function<QString()> documentPath, QWidget* parent);

    QListView* list() const { return FList; }

    // Empties the list and shows the panel while a compile runs.
    void clearAndShow();
    // Lists a refusal (the document was not compiled) as the only line.
    void showRefusal(const QString& refusal);
    // Lists the compiler's lines and returns what they say; without lines the
    // panel hides. exitedCleanly is how the compiler ended, when known.
    TCompilerOutputAnalysis showOutput(const QStringList& lines,
                                       std::optional<bool> exitedCleanly = std::nullopt);
    // Selects line row (nothing for -1), scrolls it into view and leads to
    // its source line as a double-click does.
    void selectLine(qsizetype row);
    // The double-click: the selected line's source line is announced with
    // sourceLineChosen. Throws EBrewpadError when the line's number is no
    // number.
    void activateSelected();

Q_SIGNALS:
    void sourceLineChosen(int lineNumber);

private:
    std::function<QString()> FDocumentPath;
    QListView* FList = nullptr;
    QStringListModel* FLines = nullptr;
};

} // namespace bp
