#pragma once

#include "editor/editorstate.h"

#include <QWidget>

class QAction;
class QComboBox;
class QToolButton;

namespace bp {

class TProject;

// The editor window's tool bar: the document type choice and the tool
// buttons at their places, each with its hint as tooltip and accessible
// name. The window connects the buttons to its commands.
class TEditorToolBar : public QWidget {
    Q_OBJECT

public:
    explicit TEditorToolBar(QWidget* parent);

    // Enables and shows the buttons that follow the window's state.
    void Apply(const TEditorButtons& state, TProject* project, const QString& fileName);

    QComboBox* cmbDocType = nullptr;
    QToolButton* cmdSave = nullptr;
    QToolButton* cmdPrint = nullptr;
    QToolButton* cmdUndo = nullptr;
    QToolButton* cmdCut = nullptr;
    QToolButton* cmdCopy = nullptr;
    QToolButton* cmdPaste = nullptr;
    QToolButton* cmdFind = nullptr;
    QToolButton* cmdReplace = nullptr;
    QToolButton* cmdGoToLine = nullptr;
    QToolButton* cmdAddToProject = nullptr;
    QToolButton* cmdRemoveFromProject = nullptr;
    QToolButton* cmdJava = nullptr;
    QToolButton* cmdJavaRun = nullptr;
    QToolButton* cmdBrowser = nullptr;
};

// The add and remove project commands (buttons or popup items): with a
// project, the one that applies shows; without, add is off.
void UpdateProjectPair(TProject* project, const QString& fileName, QWidget* add, QWidget* remove);
void UpdateProjectPair(TProject* project, const QString& fileName, QAction* add, QAction* remove);

} // namespace bp
