#pragma once

#include <QString>
#include <QStringList>

namespace bp {

// The system's file associations, read-only and shaped like the registry's
// classes root: a key ".html" whose default value names the program class
// registered for the extension, and "<class>/shell/open/command" whose
// default value is that program's command text, its argument written as %1.
//
// On Linux the keys are built from the XDG data: the class is the desktop
// file id that the mimeapps.list files (in $XDG_CONFIG_HOME, $XDG_CONFIG_DIRS
// and $XDG_DATA_DIRS/applications, in that order) name as default for the
// extension's MIME type; the command is that desktop file's Exec line with
// its program looked up on PATH and its first file or URL field code
// replaced by %1.
class ClassesRoot {
public:
    // Opens a key below the current one (a path such as "shell/open"),
    // never creating it: false for a missing key, and the current key stays.
    bool OpenKey(const QString& key);
    // The root becomes current again.
    void CloseKey() { FCurrent.clear(); }
    // The current key's default value; empty when it has none.
    QString ReadDefault() const;

private:
    bool KeyExists(const QStringList& parts) const;

    QStringList FCurrent;
};

namespace xdg {

// The mimeapps.list files to consult, most important first.
QStringList mimeAppsFiles();
// The first desktop file id listed as default for the MIME type whose
// desktop file is installed; empty for none.
QString defaultApplication(const QString& mimeType);
// Where the desktop file with this id lies; empty when it is not installed.
QString desktopFilePath(const QString& desktopId);
// The command text of a desktop file: its Exec line's program resolved
// through PATH, the first of %u %U %f %F written as %1, other field codes
// dropped; empty when the file has no Exec line.
QString commandText(const QString& desktopFile);

} // namespace xdg

} // namespace bp
