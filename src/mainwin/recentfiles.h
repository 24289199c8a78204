#pragma once

#include <QAction>
#include <QStringList>

#include <functional>

class QMenu;

namespace bp {

struct TWindowValues;

// A Reopen menu item for one recent file: "&<number> <name>", the first
// digit being its access key. The name shown is the file's exact name.
class TFileMenuItem : public QAction {
    Q_OBJECT

public:
    TFileMenuItem(QObject* owner, const QString& fileName, int number);

    QString FileName() const { return FFileName; }
    int Index() const { return FIndex; }
    void SetIndex(int number);

private:
    QString FFileName;
    int FIndex = 0;
};

// Puts a name at the top of a recent list: an entry that names the same file
// (compared as the file system does) moves up, otherwise the name goes in
// and the oldest entry beyond the limit drops out.
void AddRecentName(QStringList& list, const QString& name);

// The two recent lists (projects and documents, kept in the window values
// that the settings store) and the Reopen menu built from them.
class TRecentFiles {
public:
    using TOpen = std::function<void(const QString& fileName)>;
    TRecentFiles(TWindowValues& values, QMenu& menu, TOpen openProject, TOpen openDocument);

    void AddFile(const QString& pathName);
    void AddProject(const QString& fileName);
    bool IsEmpty() const;
    // Builds the menu anew: the projects numbered from 0, a separator, the
    // documents numbered from kRecentListLength.
    void BuildMenu();

private:
    TWindowValues& FValues;
    QMenu& FMenu;
    TOpen FOpenProject;
    TOpen FOpenDocument;
};

} // namespace bp
