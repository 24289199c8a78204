#include "platform/classesroot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStandardPaths>

namespace bp {

namespace xdg {

namespace {

// A colon-separated list from the environment, or its documented default.
QStringList dirList(const char* variable, const QString& fallback)
{
    const QString value = qEnvironmentVariable(variable);
    QStringList dirs =
        (value.isEmpty() ? fallback : value).split(QLatin1Char(':'), Qt::SkipEmptyParts);
    return dirs;
}

QString dirOf(const char* variable, const QString& fallbackBelowHome)
{
    const QString value = qEnvironmentVariable(variable);
    return value.isEmpty() ? QDir::homePath() + fallbackBelowHome : value;
}

// The value of key in group of a desktop-entry style file (mimeapps.list,
// .desktop), taken as written; empty when missing.
QString readEntry(const QString& path, const QString& group, const QString& key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QString header = QLatin1Char('[') + group + QLatin1Char(']');
    bool inGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == header;
            continue;
        }
        if (!inGroup)
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && line.left(eq).trimmed() == key)
            return line.mid(eq + 1).trimmed();
    }
    return QString();
}

// The escapes of a desktop entry's string value (\s \n \t \r \\).
QString unescapeValue(const QString& value)
{
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != QLatin1Char('\\') || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const QChar c = value[++i];
        if (c == QLatin1Char('s'))
            out += QLatin1Char(' ');
        else if (c == QLatin1Char('n'))
            out += QLatin1Char('\n');
        else if (c == QLatin1Char('t'))
            out += QLatin1Char('\t');
        else if (c == QLatin1Char('r'))
            out += QLatin1Char('\r');
        else if (c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        else
            out += QLatin1Char('\\') + QString(c);
    }
    return out;
}

// An Exec line cut into its fields: blanks separate them, double quotes
// group, and inside quotes a backslash takes the next character literally.
QStringList execFields(const QString& exec)
{
    QStringList fields;
    QString field;
    bool inField = false;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == QLatin1Char('\\') && i + 1 < exec.size())
                field += exec[++i];
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                field += c;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
            inField = true;
        } else if (c.isSpace()) {
            if (inField)
                fields << field;
            field.clear();
            inField = false;
        } else {
            field += c;
            inField = true;
        }
    }
    if (inField)
        fields << field;
    return fields;
}

bool isFieldCode(const QString& field)
{
    static const QStringList codes = {"%f", "%F", "%u", "%U", "%i", "%c", "%k",
                                      "%d", "%D", "%n", "%N", "%v", "%m"};
    return codes.contains(field);
}

} // namespace

QStringList mimeAppsFiles()
{
    QStringList dirs{dirOf("XDG_CONFIG_HOME", QStringLiteral("/.config"))};
    dirs << dirList("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
    for (const QString& data :
         dirList("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share")))
        dirs << data + QStringLiteral("/applications");
    QStringList files;
    for (const QString& dir : std::as_const(dirs))
        files << dir + QStringLiteral("/mimeapps.list");
    return files;
}

QString desktopFilePath(const QString& desktopId)
{
    if (desktopId.isEmpty() || desktopId.contains(QLatin1Char('/')))
        return QString();
    QStringList dirs{dirOf("XDG_DATA_HOME", QStringLiteral("/.local/share"))};
    dirs << dirList("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
    for (const QString& dir : std::as_const(dirs)) {
        const QString path = dir + QStringLiteral("/applications/") + desktopId;
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

QString defaultApplication(const QString& mimeType)
{
    // The first file naming an installed application decides; a file whose
    // entries are all uninstalled leaves the choice to the next one.
    for (const QString& list : mimeAppsFiles()) {
        const QString ids = readEntry(list, QStringLiteral("Default Applications"), mimeType);
        for (const QString& id : ids.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            if (!desktopFilePath(id.trimmed()).isEmpty())
                return id.trimmed();
        }
    }
    return QString();
}

QString commandText(const QString& desktopFile)
{
    const QStringList fields = execFields(unescapeValue(
        readEntry(desktopFile, QStringLiteral("Desktop Entry"), QStringLiteral("Exec"))));
    if (fields.isEmpty())
        return QString();
    QString program = fields.first();
    if (!program.contains(QLatin1Char('/'))) {
        const QString found = QStandardPaths::findExecutable(program);
        if (!found.isEmpty())
            program = found;
    }
    // The program stays unquoted, so that the text before %1 names it even
    // where its path holds blanks.
    QString command = program;
    bool argumentPlaced = false;
    for (qsizetype i = 1; i < fields.size(); ++i) {
        const QString& field = fields[i];
        QString text;
        if (isFieldCode(field)) {
            static const QStringList fileCodes = {"%f", "%F", "%u", "%U"};
            if (argumentPlaced || !fileCodes.contains(field))
                continue;
            argumentPlaced = true;
            text = QStringLiteral("%1");
        } else {
            text = QString(field).replace(QStringLiteral("%%"), QStringLiteral("%"));
            if (text.contains(QLatin1Char(' ')) || text.isEmpty())
                text = QLatin1Char('"') + text + QLatin1Char('"');
        }
        command += QLatin1Char(' ') + text;
    }
    return command;
}

} // namespace xdg

namespace {

// The MIME type the system gives files with an extension (".html"). The
// page types are known here: the system's MIME database lies among the very
// XDG data folders that a user may point elsewhere.
QString mimeTypeOfExtension(const QString& extension)
{
    if (extension.compare(QLatin1String(".html"), Qt::CaseInsensitive) == 0 ||
        extension.compare(QLatin1String(".htm"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("text/html");
    const QMimeType type = QMimeDatabase().mimeTypeForFile(QStringLiteral("x") + extension,
                                                           QMimeDatabase::MatchExtension);
    return type.isDefault() ? QString() : type.name();
}

} // namespace

bool ClassesRoot::KeyExists(const QStringList& parts) const
{
    if (parts.isEmpty())
        return true;
    const QString& first = parts.first();
    if (first.startsWith(QLatin1Char('.')))
        return parts.size() == 1 && !mimeTypeOfExtension(first).isEmpty();
    if (xdg::desktopFilePath(first).isEmpty() || parts.size() > 4)
        return false;
    static const QStringList below = {QStringLiteral("shell"), QStringLiteral("open"),
                                      QStringLiteral("command")};
    for (qsizetype i = 1; i < parts.size(); ++i)
        if (parts[i].compare(below[i - 1], Qt::CaseInsensitive) != 0)
            return false;
    return true;
}

bool ClassesRoot::OpenKey(const QString& key)
{
    QStringList parts = FCurrent;
    parts << key.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (!KeyExists(parts))
        return false;
    FCurrent = parts;
    return true;
}

QString ClassesRoot::ReadDefault() const
{
    if (FCurrent.isEmpty())
        return QString();
    if (FCurrent.first().startsWith(QLatin1Char('.')))
        return xdg::defaultApplication(mimeTypeOfExtension(FCurrent.first()));
    if (FCurrent.size() == 4)
        return xdg::commandText(xdg::desktopFilePath(FCurrent.first()));
    return QString();
}

} // namespace bp
