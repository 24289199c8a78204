#include "platform/registry.h"

#include <limits>

namespace bp {

namespace {
QString& storeFileOverride()
{
    static QString path;
    return path;
}
} // namespace

void Registry::setStoreFile(const QString& path)
{
    storeFileOverride() = path;
}

QString Registry::storeFile()
{
    return storeFileOverride();
}

Registry::Registry()
{
    if (storeFileOverride().isEmpty())
        FSettings =
            std::make_unique<QSettings>(QStringLiteral("Tarviksoft"), QStringLiteral("Brewpad"));
    else
        FSettings = std::make_unique<QSettings>(storeFileOverride(), QSettings::IniFormat);
}

Registry::~Registry()
{
    FSettings->sync();
}

void Registry::CloseKey()
{
    FCurrentPath.clear();
}

bool Registry::OpenKey(const QString& key, bool canCreate)
{
    QString k = key;
    k.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QString path = FCurrentPath;
    if (k.startsWith(QLatin1Char('/'))) {
        path.clear();
        k.remove(0, 1);
    }
    while (k.endsWith(QLatin1Char('/')))
        k.chop(1);
    if (!k.isEmpty())
        path = path.isEmpty() ? k : path + QLatin1Char('/') + k;
    // QSettings creates groups as values are written, so a key that may be
    // created always opens; one that must exist needs a value below it.
    if (!canCreate && !path.isEmpty()) {
        FSettings->beginGroup(path);
        const bool exists = !FSettings->allKeys().isEmpty();
        FSettings->endGroup();
        if (!exists)
            return false;
    }
    FCurrentPath = path;
    return true;
}

QString Registry::fullName(const QString& name) const
{
    // The store is the program's own key (HKEY_CURRENT_USER\Software\Tarviksoft\Brewpad
    // on Windows, ~/.config/Tarviksoft/Brewpad.conf on Linux): paths below that
    // key are stored relative to it.
    static const QString programKey = QStringLiteral("Software/Tarviksoft/Brewpad");
    QString path = FCurrentPath;
    if (path == programKey)
        path.clear();
    else if (path.startsWith(programKey + QLatin1Char('/')))
        path.remove(0, programKey.size() + 1);
    return path.isEmpty() ? name : path + QLatin1Char('/') + name;
}

bool Registry::ValueExists(const QString& name) const
{
    return FSettings->contains(fullName(name));
}

QString Registry::ReadString(const QString& name) const
{
    const QVariant v = FSettings->value(fullName(name));
    if (!v.isValid())
        return {};
    // A list read back from an INI value written with commas would come back
    // as a QStringList; join it so that no text is lost.
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

void Registry::WriteString(const QString& name, const QString& value)
{
    FSettings->setValue(fullName(name), value);
}

std::optional<qint32> Registry::ReadIntegerOpt(const QString& name) const
{
    const QVariant v = FSettings->value(fullName(name));
    if (!v.isValid())
        return std::nullopt;
    bool ok = false;
    const QString text = v.typeId() == QMetaType::QStringList ? QString() : v.toString().trimmed();
    const qlonglong n = text.toLongLong(&ok);
    if (!ok || n < std::numeric_limits<qint32>::min() || n > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(n);
}

qint32 Registry::ReadInteger(const QString& name, qint32 fallback) const
{
    return ReadIntegerOpt(name).value_or(fallback);
}

void Registry::WriteInteger(const QString& name, qint32 value)
{
    FSettings->setValue(fullName(name), value);
}

std::optional<bool> Registry::ReadBoolOpt(const QString& name) const
{
    const auto n = ReadIntegerOpt(name);
    if (!n)
        return std::nullopt;
    return *n != 0;
}

bool Registry::ReadBool(const QString& name, bool fallback) const
{
    return ReadBoolOpt(name).value_or(fallback);
}

void Registry::WriteBool(const QString& name, bool value)
{
    WriteInteger(name, value ? 1 : 0);
}

void Registry::Flush()
{
    FSettings->sync();
}

} // namespace bp
