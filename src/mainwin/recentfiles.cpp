#include "mainwin/recentfiles.h"

#include "model/settings.h"
#include "platform/fileservices.h"

#include <QMenu>

namespace bp {

TFileMenuItem::TFileMenuItem(QObject* owner, const QString& fileName, int number)
    : QAction(owner), FFileName(files::exactName(fileName))
{
    SetIndex(number);
}

void TFileMenuItem::SetIndex(int number)
{
    FIndex = number;
    // A literal '&' in the name must not become an access key.
    QString shown = FFileName;
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    setText(QLatin1Char('&') + QString::number(number) + QLatin1Char(' ') + shown);
}

void AddRecentName(QStringList& list, const QString& name)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (files::samePath(files::exactName(list[i]), name)) {
            list.move(i, 0);
            return;
        }
    }
    while (list.size() >= kRecentListLength)
        list.removeLast();
    list.prepend(name);
}

TRecentFiles::TRecentFiles(TWindowValues& values, QMenu& menu, TOpen openProject,
                           TOpen openDocument)
    : FValues(values), FMenu(menu), FOpenProject(std::move(openProject)),
      FOpenDocument(std::move(openDocument))
{
}

void TRecentFiles::AddFile(const QString& pathName)
{
    AddRecentName(FValues.RecentDocuments, pathName);
    BuildMenu();
}

void TRecentFiles::AddProject(const QString& fileName)
{
    AddRecentName(FValues.RecentProjects, fileName);
    BuildMenu();
}

bool TRecentFiles::IsEmpty() const
{
    return FValues.RecentProjects.isEmpty() && FValues.RecentDocuments.isEmpty();
}

void TRecentFiles::BuildMenu()
{
    const QList<QAction*> old = FMenu.actions();
    for (auto it = old.rbegin(); it != old.rend(); ++it) {
        FMenu.removeAction(*it);
        // Later: the item may be the one whose command rebuilds the menu.
        if ((*it)->parent() == &FMenu)
            (*it)->deleteLater();
    }
    const auto add = [this](const QStringList& names, int number, const TOpen& open) {
        for (const QString& name : names) {
            auto* item = new TFileMenuItem(&FMenu, name, number++);
            QObject::connect(item, &QAction::triggered, &FMenu,
                             [item, &open] { open(item->FileName()); });
            FMenu.addAction(item);
        }
    };
    add(FValues.RecentProjects, 0, FOpenProject);
    if (!IsEmpty())
        FMenu.addSeparator()->setParent(&FMenu);
    add(FValues.RecentDocuments, kRecentListLength, FOpenDocument);
}

} // namespace bp
