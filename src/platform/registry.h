#pragma once

#include <QSettings>
#include <QString>

#include <memory>
#include <optional>

namespace bp {

// The program's settings store, shaped like a registry: a current key (a
// group path such as "Display/Font") holding named values. A key's unnamed
// default value is the value named "Default". Backed by QSettings in its
// native format, or by an INI file chosen with setStoreFile (tests).
class Registry {
public:
    Registry();
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // Points every Registry made afterwards at an INI file instead of the
    // user's store; an empty path goes back to the user's store.
    static void setStoreFile(const QString& path);
    static QString storeFile();

    // Closes the current key: the root becomes current.
    void CloseKey();
    // Opens a key below the current one (creating it); an absolute path
    // starting with '/' is opened below the root. Without canCreate a missing
    // key is not opened: false, and the current key stays.
    bool OpenKey(const QString& key, bool canCreate = true);
    QString CurrentPath() const { return FCurrentPath; }

    bool ValueExists(const QString& name) const;

    QString ReadString(const QString& name) const;
    void WriteString(const QString& name, const QString& value);

    // A value that is missing or does not read as a 32-bit integer yields
    // std::nullopt, so that the caller can keep its default.
    std::optional<qint32> ReadIntegerOpt(const QString& name) const;
    qint32 ReadInteger(const QString& name, qint32 fallback = 0) const;
    void WriteInteger(const QString& name, qint32 value);

    // Booleans are stored as the integers 1 and 0; any non-zero reads True.
    std::optional<bool> ReadBoolOpt(const QString& name) const;
    bool ReadBool(const QString& name, bool fallback = false) const;
    void WriteBool(const QString& name, bool value);

    // The key's unnamed value.
    static QString defaultValueName() { return QStringLiteral("Default"); }

    // Writes everything to disk now (also done on destruction).
    void Flush();

private:
    QString fullName(const QString& name) const;

    std::unique_ptr<QSettings> FSettings;
    QString FCurrentPath;
};

} // namespace bp
