#pragma once

#include <QAction>
#include <QStringList>

namespace bp {

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

// The most recent lists keep at most this many names.
constexpr int kMaxRecentFiles = 5;

// Puts a name at the top of a recent list: an entry that shows the same
// name (ASCII letters compared without case) moves up, otherwise the name
// goes in and the oldest entry beyond the limit drops out.
void AddRecentName(QStringList& list, const QString& name);

// Compares two names after upper-casing the ASCII letters a to z only.
bool SameNameAsciiCase(const QString& a, const QString& b);

} // namespace bp
