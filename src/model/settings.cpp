#include "model/settings.h"

#include "platform/errors.h"
#include "platform/fileservices.h"
#include "platform/registry.h"
#include "platform/textutil.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <limits>

namespace bp {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool fitsTabSet(qint64 n)
{
    return n >= std::numeric_limits<qint8>::min() && n <= std::numeric_limits<qint8>::max();
}

std::optional<bool> parseBoolean(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (const auto n = StringToInteger(t))
        return *n != 0;
    return std::nullopt;
}

// The settings file is 8-bit text: UTF-8 when it decodes cleanly (which is
// how it is written), otherwise Latin-1, so that no byte is refused. A
// byte-order mark another editor left is no part of the first value.
QString decodeSettingsText(const QByteArray& bytes)
{
    QString text = DecodeUtf8OrLatin1(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

// The defaults of the values the settings file holds; the compiler, the
// browser and the font stay as they are (the main window's design font).
void setFileDefaults(TSettings& settings)
{
    const TSettings defaults;
    settings.TabSet = defaults.TabSet;
    settings.EditorColor = defaults.EditorColor;
    settings.ShowDocTabs = defaults.ShowDocTabs;
    settings.AutoIndent = defaults.AutoIndent;
    settings.UseDDE = defaults.UseDDE;
}

// How a value of the store is treated on load: read into the setting, or,
// for a value the settings file also holds, the number of its line there
// (the file's value, when it gave one, is written to the store instead).
using TLoadRule = int;
constexpr TLoadRule kRead = 0;

// One pass over the store: every named value is created from the current
// setting when missing, then written (save) or read (load) per its rule. A
// stored value that does not convert keeps the current setting.
class TStorePass {
public:
    TStorePass(Registry& registry, TRegistryPassMode mode, unsigned fileLines)
        : FRegistry(registry), FLoading(mode == TRegistryPassMode::Load), FFileLines(fileLines)
    {
    }

    // Whether the settings file gave the value of the line.
    bool fromFile(TLoadRule line) const { return line > 0 && (FFileLines >> (line - 1)) & 1; }

    void integer(const QString& name, qint32& value, TLoadRule rule)
    {
        number(name, value, rule, [](qint64) { return true; });
    }

    void tabSet(const QString& name, qint8& value, TLoadRule rule)
    {
        qint32 n = value;
        number(name, n, rule, fitsTabSet);
        value = qint8(n);
    }

    void boolean(const QString& name, bool& value, TLoadRule rule)
    {
        if (!FRegistry.ValueExists(name))
            FRegistry.WriteBool(name, value);
        if (reads(rule)) {
            if (const auto b = FRegistry.ReadBoolOpt(name))
                value = *b;
        } else {
            FRegistry.WriteBool(name, value);
        }
    }

    void text(const QString& name, QString& value, TLoadRule rule)
    {
        if (!FRegistry.ValueExists(name))
            FRegistry.WriteString(name, value);
        if (reads(rule))
            value = FRegistry.ReadString(name);
        else
            FRegistry.WriteString(name, value);
    }

    void color(const QString& name, TColor& value, TLoadRule rule)
    {
        if (!FRegistry.ValueExists(name))
            FRegistry.WriteString(name, ColorToString(value));
        if (reads(rule)) {
            if (const auto c = StringToColor(FRegistry.ReadString(name)))
                value = *c;
        } else {
            FRegistry.WriteString(name, ColorToString(value));
        }
    }

    void list(const QString& name, QStringList& value, TLoadRule rule)
    {
        QString joined = JoinListValue(value);
        text(name, joined, rule);
        // The menus show at most kRecentListLength entries; a longer stored
        // list is cut on reading, the newest kept.
        if (reads(rule))
            value = SplitListValue(joined).mid(0, kRecentListLength);
    }

    // A key's unnamed value is never created ahead; missing, it reads empty.
    void defaultValue(QString& value, TLoadRule rule)
    {
        const QString name = Registry::defaultValueName();
        if (reads(rule))
            value = FRegistry.ReadString(name);
        else
            FRegistry.WriteString(name, value);
    }

private:
    bool reads(TLoadRule rule) const { return FLoading && !fromFile(rule); }

    template <class InRange>
    void number(const QString& name, qint32& value, TLoadRule rule, InRange inRange)
    {
        if (!FRegistry.ValueExists(name))
            FRegistry.WriteInteger(name, value);
        if (reads(rule)) {
            const auto n = FRegistry.ReadIntegerOpt(name);
            if (n && inRange(*n))
                value = *n;
        } else {
            FRegistry.WriteInteger(name, value);
        }
    }

    Registry& FRegistry;
    bool FLoading;
    unsigned FFileLines;
};

} // namespace

bool ReadSettingsFile(TSettings& settings, QString* ignored)
{
    setFileDefaults(settings);
    settings.FileLines = 0;
    if (!files::exists(kSettingsFileName))
        return false;
    if (!files::isUsersOwnFile(kSettingsFileName)) {
        if (ignored)
            *ignored = kSettingsFileName +
                       QStringLiteral(" ignored: it is another user's, or others may change it.");
        return true;
    }

    QStringList lines;
    try {
        lines = SplitListValue(decodeSettingsText(files::readAll(kSettingsFileName)));
    } catch (const EBrewpadError&) {
        // An unreadable file counts as one without lines: every value keeps
        // its default.
    }
    const auto line = [&lines](int number) -> std::optional<QString> {
        if (number > lines.size())
            return std::nullopt;
        return lines[number - 1];
    };
    // Records that line number gave its value.
    const auto took = [&settings](int number) { settings.FileLines |= 1u << (number - 1); };

    if (const auto s = line(1)) {
        settings.JavaCompiler = *s;
        took(1);
    }
    if (const auto s = line(2)) {
        settings.WebBrowser = *s;
        took(2);
    }
    if (const auto s = line(3)) {
        settings.Font.Name = *s;
        took(3);
    }
    if (const auto s = line(4))
        if (const auto n = StringToInteger(*s)) {
            settings.Font.Size = *n;
            took(4);
        }
    if (const auto s = line(5))
        if (const auto c = StringToColor(*s)) {
            settings.Font.Color = *c;
            took(5);
        }
    if (const auto s = line(6))
        if (const auto n = StringToInteger(*s); n && fitsTabSet(*n)) {
            settings.TabSet = qint8(*n);
            took(6);
        }
    if (const auto s = line(7))
        if (const auto c = StringToColor(*s)) {
            settings.EditorColor = *c;
            took(7);
        }
    const auto boolean = [&](int number, bool& value) {
        if (const auto s = line(number))
            if (const auto b = parseBoolean(*s)) {
                value = *b;
                took(number);
            }
    };
    boolean(8, settings.UseDDE);
    boolean(9, settings.AutoIndent);
    boolean(10, settings.ShowDocTabs);
    return true;
}

void WriteSettingsFile(const TSettings& settings)
{
    const auto boolText = [](bool b) { return b ? QStringLiteral("-1") : QStringLiteral("0"); };
    const QStringList lines{
        settings.JavaCompiler,
        settings.WebBrowser,
        settings.Font.Name,
        QString::number(settings.Font.Size),
        ColorToString(settings.Font.Color),
        QString::number(int(settings.TabSet)),
        ColorToString(settings.EditorColor),
        boolText(settings.UseDDE),
        boolText(settings.AutoIndent),
        boolText(settings.ShowDocTabs),
    };
    files::writeAtomically(kSettingsFileName, JoinListValue(lines).toUtf8());
}

void OpenProgramKey(Registry& registry)
{
    registry.CloseKey();
    registry.OpenKey(QStringLiteral("Software"));
    registry.OpenKey(QStringLiteral("Tarviksoft"));
    registry.OpenKey(QStringLiteral("Brewpad"));
}

void RegistryPass(TRegistryPassMode mode, TSettings& settings, TWindowValues& window)
{
    Registry registry;
    TStorePass pass(registry, mode, settings.FileLines);
    // The other rules are the numbers of the settings file's lines.
    const TLoadRule read = kRead;

    OpenProgramKey(registry);
    registry.OpenKey(QStringLiteral("Display"));
    pass.integer(QStringLiteral("LastX"), window.LastX, read);
    pass.integer(QStringLiteral("LastY"), window.LastY, read);
    pass.integer(QStringLiteral("LastWindowState"), window.LastWindowState, read);
    // Values of their own, so that a store without them loads as before.
    pass.integer(QStringLiteral("LastWidth"), window.LastWidth, read);
    pass.integer(QStringLiteral("LastHeight"), window.LastHeight, read);
    pass.boolean(QStringLiteral("ShowDocTabs"), settings.ShowDocTabs, 10);

    // Font lives below Display, not below the base key; stored data relies on it.
    registry.OpenKey(QStringLiteral("Font"));
    pass.text(QStringLiteral("FontName"), settings.Font.Name, 3);
    pass.integer(QStringLiteral("FontSize"), settings.Font.Size, 4);
    pass.color(QStringLiteral("FontColor"), settings.Font.Color, 5);

    OpenProgramKey(registry);
    registry.OpenKey(QStringLiteral("Editor"));
    pass.tabSet(QStringLiteral("TabSet"), settings.TabSet, 6);
    pass.boolean(QStringLiteral("AutoIndent"), settings.AutoIndent, 9);
    pass.color(QStringLiteral("Color"), settings.EditorColor, 7);
    pass.integer(QStringLiteral("LastFileType"), window.LastFileType, read);

    OpenProgramKey(registry);
    registry.OpenKey(QStringLiteral("JavaCompiler"));
    // The file's compiler is not copied into the store on load: only a save does that.
    if (mode == TRegistryPassMode::Save || !pass.fromFile(1))
        pass.defaultValue(settings.JavaCompiler, read);
    if (mode == TRegistryPassMode::Load)
        settings.JavaInterpreter = DeriveJavaInterpreter(settings.JavaCompiler);

    OpenProgramKey(registry);
    registry.OpenKey(QStringLiteral("WebBrowser"));
    pass.defaultValue(settings.WebBrowser, 2);
    pass.boolean(QStringLiteral("UseDDE"), settings.UseDDE, 8);

    OpenProgramKey(registry);
    registry.OpenKey(QStringLiteral("LastFiles"));
    pass.list(QStringLiteral("Projects"), window.RecentProjects, read);
    pass.list(QStringLiteral("Documents"), window.RecentDocuments, read);

    registry.CloseKey();
}

QString DeriveJavaInterpreter(const QString& javaCompiler)
{
    if (javaCompiler.isEmpty())
        return QString();
    const qsizetype cut = (QStringLiteral("javac") + files::exeSuffix()).size();
    const QString dir =
        javaCompiler.size() >= cut ? javaCompiler.left(javaCompiler.size() - cut) : QString();
    const QString interpreter = dir + QStringLiteral("java") + files::exeSuffix();
    return files::exists(interpreter) ? interpreter : QString();
}

QString FindJavaCompiler(const QProcessEnvironment& environment)
{
    const QString javac = QStringLiteral("javac") + files::exeSuffix();
    const QString javaHome = environment.value(QStringLiteral("JAVA_HOME"));
    if (!javaHome.isEmpty()) {
        const QFileInfo inHome(QDir(javaHome).filePath(QStringLiteral("bin/") + javac));
        if (inHome.isFile() && inHome.isExecutable())
            return QDir::toNativeSeparators(QDir::cleanPath(inHome.absoluteFilePath()));
    }
    // Empty entries of PATH would mean the current directory, which names no
    // program the user chose.
    const QStringList path =
        environment.value(QStringLiteral("PATH")).split(QDir::listSeparator(), Qt::SkipEmptyParts);
    if (path.isEmpty())
        return QString();
    const QString found = QStandardPaths::findExecutable(javac, path);
    if (found.isEmpty())
        return QString();
    return QDir::toNativeSeparators(QFileInfo(found).canonicalFilePath());
}

bool FindJavaToolsWhenUnset(TSettings& settings, const QProcessEnvironment& environment)
{
    if (!settings.JavaCompiler.isEmpty())
        return false;
    settings.JavaCompiler = FindJavaCompiler(environment);
    settings.JavaInterpreter = DeriveJavaInterpreter(settings.JavaCompiler);
    return !settings.JavaCompiler.isEmpty();
}

QString JoinListValue(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + kCrLf;
    return text;
}

QStringList SplitListValue(const QString& text)
{
    return SplitLines(text);
}

} // namespace bp
