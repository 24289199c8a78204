#include "mainwin/childwindows.h"

#include "dialogs/projectmanager.h"
#include "editor/cedit.h"
#include "editor/cedit95.h"
#include "editor/textcontrol.h"
#include "platform/fileservices.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace bp {

TChildWindows::TChildWindows(QMdiArea& area, IMainWindow& main) : FArea(area), FMain(main) {}

QList<QMdiSubWindow*> TChildWindows::Children() const
{
    return FArea.subWindowList();
}

int TChildWindows::Count() const
{
    return int(FArea.subWindowList().size());
}

QMdiSubWindow* TChildWindows::Active() const
{
    return FArea.activeSubWindow();
}

TcwEditBase* TChildWindows::ActiveAnyEditor() const
{
    QMdiSubWindow* sub = FArea.activeSubWindow();
    return sub ? qobject_cast<TcwEditBase*>(sub->widget()) : nullptr;
}

TProjectManager* TChildWindows::ActiveManager() const
{
    return ManagerOf(FArea.activeSubWindow());
}

TProjectManager* TChildWindows::ManagerOf(const QMdiSubWindow* child)
{
    return child ? dynamic_cast<TProjectManager*>(child->widget()) : nullptr;
}

bool TChildWindows::IsCurrentVariant(const TcwEditBase* editor) const
{
    if (!editor)
        return false;
    return FIsWin95 ? qobject_cast<const TcwEdit95*>(editor) != nullptr
                    : qobject_cast<const TcwEdit*>(editor) != nullptr;
}

TcwEditBase* TChildWindows::ActiveEditor() const
{
    TcwEditBase* editor = ActiveAnyEditor();
    return IsCurrentVariant(editor) ? editor : nullptr;
}

QList<TcwEditBase*> TChildWindows::Editors() const
{
    QList<TcwEditBase*> out;
    for (QMdiSubWindow* sub : FArea.subWindowList())
        if (auto* editor = qobject_cast<TcwEditBase*>(sub->widget()))
            out << editor;
    return out;
}

QString TChildWindows::Caption(const QMdiSubWindow* child)
{
    if (!child)
        return QString();
    return child->widget() ? child->widget()->windowTitle() : child->windowTitle();
}

std::unique_ptr<TcwEditBase> TChildWindows::CreateEditor() const
{
    if (FIsWin95)
        return std::make_unique<TcwEdit95>(FMain);
    return std::make_unique<TcwEdit>(FMain);
}

void TChildWindows::Show(TcwEditBase* editor)
{
    if (FOnEditorShown)
        FOnEditorShown(editor);
    QMdiSubWindow* sub = FArea.addSubWindow(editor);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->resize(editor->size());
    sub->show();
    FArea.setActiveSubWindow(sub);
    // Typing goes into the new text at once.
    editor->Text()->setFocus();
}

TcwEditBase* TChildWindows::OpenEditor(const QString& fileName)
{
    std::unique_ptr<TcwEditBase> editor = CreateEditor();
    editor->CreateFromFile(fileName);
    TcwEditBase* shown = editor.release();
    Show(shown);
    return shown;
}

void TChildWindows::Activate(int index)
{
    const QList<QMdiSubWindow*> children = FArea.subWindowList();
    if (index < 0 || index >= children.size())
        return;
    QMdiSubWindow* sub = children[index];
    if (sub->isMinimized())
        sub->showNormal();
    FArea.setActiveSubWindow(sub);
    if (auto* editor = qobject_cast<TcwEditBase*>(sub->widget()))
        editor->Text()->setFocus();
}

int TChildWindows::FindWindowByPath(const QString& pathName) const
{
    const QList<QMdiSubWindow*> children = FArea.subWindowList();
    for (int i = 0; i < children.size(); ++i) {
        auto* editor = qobject_cast<TcwEditBase*>(children[i]->widget());
        if (IsCurrentVariant(editor) && editor->HasDocument() &&
            files::samePath(editor->GetPathName(), pathName))
            return i;
    }
    return -1;
}

int TChildWindows::FindWindowByName(const QString& fileName) const
{
    const QList<QMdiSubWindow*> children = FArea.subWindowList();
    for (int i = 0; i < children.size(); ++i) {
        auto* editor = qobject_cast<TcwEditBase*>(children[i]->widget());
        if (IsCurrentVariant(editor) && editor->HasDocument() &&
            editor->GetFileName() == fileName)
            return i;
    }
    return -1;
}

} // namespace bp
