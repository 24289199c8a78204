#include "editor/editortoolbar.h"

#include "model/project.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QHash>
#include <QIcon>
#include <QStyle>
#include <QToolButton>

namespace bp {

namespace {

// The style reads an icon's image files each time it is asked for one; every
// editor window has a dozen buttons, so the icons are made once and shared.
// They go with the application object, not after it.
struct TIconCache {
    const QStyle* MadeBy = nullptr;
    QHash<int, QIcon> Icons;
};
TIconCache iconCache;

QIcon sharedIcon(const QStyle* style, QStyle::StandardPixmap which)
{
    if (style != iconCache.MadeBy) {
        if (!iconCache.MadeBy)
            qAddPostRoutine([] { iconCache = TIconCache(); });
        iconCache.Icons.clear();
        iconCache.MadeBy = style;
    }
    auto found = iconCache.Icons.find(int(which));
    if (found == iconCache.Icons.end())
        found = iconCache.Icons.insert(int(which), style->standardIcon(which));
    return *found;
}

template <class T> void updatePair(TProject* project, const QString& fileName, T* add, T* remove)
{
    if (!project) {
        add->setEnabled(false);
        return;
    }
    const bool contains = project->ContainsFile(fileName);
    remove->setVisible(contains);
    add->setVisible(!contains);
    add->setEnabled(!contains);
}

} // namespace

void UpdateProjectPair(TProject* project, const QString& fileName, QWidget* add, QWidget* remove)
{
    updatePair(project, fileName, add, remove);
}

void UpdateProjectPair(TProject* project, const QString& fileName, QAction* add, QAction* remove)
{
    updatePair(project, fileName, add, remove);
}

TEditorToolBar::TEditorToolBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Panel1"));
    setFixedHeight(30);
    setMinimumWidth(545);
    cmbDocType = new QComboBox(this);
    cmbDocType->setObjectName(QStringLiteral("cmbDocType"));
    cmbDocType->setGeometry(8, 4, 129, 22);
    cmbDocType->setToolTip(QStringLiteral("Document Type"));
    cmbDocType->setFocusPolicy(Qt::NoFocus);

    const auto add = [this](const char* name, int left, const QString& hint,
                            QStyle::StandardPixmap icon) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(left, 3, 25, 25);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setIcon(sharedIcon(style(), icon));
        b->setToolTip(hint);
        b->setAccessibleName(hint);
        return b;
    };
    cmdSave = add("cmdSave", 147, QStringLiteral("Save File"), QStyle::SP_DialogSaveButton);
    cmdPrint = add("cmdPrint", 178, QStringLiteral("Print"), QStyle::SP_FileDialogContentsView);
    cmdUndo = add("cmdUndo", 210, QStringLiteral("Undo"), QStyle::SP_ArrowBack);
    cmdCut = add("cmdCut", 235, QStringLiteral("Cut"), QStyle::SP_DialogDiscardButton);
    cmdCopy = add("cmdCopy", 260, QStringLiteral("Copy"), QStyle::SP_FileLinkIcon);
    cmdPaste = add("cmdPaste", 285, QStringLiteral("Paste"), QStyle::SP_DialogApplyButton);
    cmdFind = add("cmdFind", 322, QStringLiteral("Find"), QStyle::SP_FileDialogDetailedView);
    cmdReplace = add("cmdReplace", 347, QStringLiteral("Replace"), QStyle::SP_BrowserReload);
    cmdGoToLine = add("cmdGoToLine", 372, QStringLiteral("Go to line..."), QStyle::SP_ArrowRight);
    cmdAddToProject = add("cmdAddToProject", 410, QStringLiteral("Add document to active project"),
                          QStyle::SP_FileDialogNewFolder);
    cmdRemoveFromProject =
        add("cmdRemoveFromProject", 410, QStringLiteral("Remove document from active project"),
            QStyle::SP_TrashIcon);
    cmdJava = add("cmdJava", 450, QStringLiteral("Compile Java document"),
                  QStyle::SP_MediaSeekForward);
    cmdJavaRun = add("cmdJavaRun", 480, QStringLiteral("Run Java document"), QStyle::SP_MediaPlay);
    cmdBrowser = add("cmdBrowser", 514, QStringLiteral("Load document in Web Browser"),
                     QStyle::SP_DriveNetIcon);
    for (QToolButton* b : {cmdSave, cmdPaste})
        b->setEnabled(false);
    for (QToolButton* b : {cmdRemoveFromProject, cmdJava, cmdBrowser})
        b->hide();
}

void TEditorToolBar::Apply(const TEditorButtons& state, TProject* project,
                           const QString& fileName)
{
    cmdSave->setEnabled(state.Save);
    cmdPrint->setEnabled(state.Print);
    cmdFind->setEnabled(state.Find);
    cmdReplace->setEnabled(state.Find);
    cmdGoToLine->setEnabled(state.Find);
    cmdJava->setVisible(state.JavaVisible);
    UpdateProjectPair(project, fileName, cmdAddToProject, cmdRemoveFromProject);
    // A hidden button keeps the state it had.
    if (state.JavaVisible)
        cmdJava->setEnabled(state.JavaEnabled);
    cmdBrowser->setVisible(state.BrowserVisible);
    if (state.BrowserVisible)
        cmdBrowser->setEnabled(state.BrowserEnabled);
    cmdPaste->setEnabled(state.Paste);
}

} // namespace bp
