#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <memory>

class QMdiArea;
class QMdiSubWindow;

namespace bp {

class IMainWindow;
class TcwEditBase;
class TProjectManager;

// The main window's child-window area: which child is active, the editor
// windows in child order, making and showing editors of the window variant
// in use, and finding them by file.
class TChildWindows {
public:
    TChildWindows(QMdiArea& area, IMainWindow& main);

    QMdiArea& Area() const { return FArea; }
    // Editors of the rich variant (TcwEdit95) when true, else the plain one.
    bool IsWin95() const { return FIsWin95; }
    void SetIsWin95(bool win95) { FIsWin95 = win95; }
    // Called with every editor window just before it is first shown.
    void SetOnEditorShown(std::function<void(TcwEditBase*)> handler)
    {
        FOnEditorShown = std::move(handler);
    }

    QList<QMdiSubWindow*> Children() const;
    int Count() const;
    QMdiSubWindow* Active() const;
    // The active child when it is an editor of either variant, or null.
    TcwEditBase* ActiveAnyEditor() const;
    // The active child when it is an editor of the variant in use, or null.
    TcwEditBase* ActiveEditor() const;
    // The active child when it is the project manager, or null.
    TProjectManager* ActiveManager() const;
    static TProjectManager* ManagerOf(const QMdiSubWindow* child);
    bool IsCurrentVariant(const TcwEditBase* editor) const;
    // Every editor window of either variant, in child order.
    QList<TcwEditBase*> Editors() const;
    // The caption of the window shown by a child.
    static QString Caption(const QMdiSubWindow* child);

    // A new, not yet shown editor window of the variant in use.
    std::unique_ptr<TcwEditBase> CreateEditor() const;
    // Shows an editor as a child, makes it active and gives its text the
    // keyboard.
    void Show(TcwEditBase* editor);
    // Makes an editor for a file and shows it; throws when the file cannot
    // be read (then no window is left).
    TcwEditBase* OpenEditor(const QString& fileName);
    // Brings child number index to the front with the keyboard.
    void Activate(int index);
    // Index of the editor of the variant in use that shows that file (full
    // paths compared as the file system does; the first in child order), or -1.
    int FindWindowByPath(const QString& pathName) const;
    // The same by file name without directory, compared exactly.
    int FindWindowByName(const QString& fileName) const;

private:
    QMdiArea& FArea;
    IMainWindow& FMain;
    bool FIsWin95 = true;
    std::function<void(TcwEditBase*)> FOnEditorShown;
};

} // namespace bp
