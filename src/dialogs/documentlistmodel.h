#pragma once

#include "model/brewpaddefs.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QPixmap>

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace bp {

class TProject;

// The pictures of the four document types, drawn here rather than loaded:
// a page with the type's letter, in 32 and 16 pixels, and the same page
// struck through for an entry whose file is missing.
class TDocumentIcons {
public:
    TDocumentIcons();
    const QIcon& Icon(TDocType type, bool missing = false) const;
    // The 16 x 16 picture the plain list draws.
    const QPixmap& SmallPixmap(TDocType type, bool missing = false) const;

private:
    std::array<QIcon, 2 * kDocTypeCount> FIcons;
    std::array<QPixmap, 2 * kDocTypeCount> FSmall;
};

// One row of the document list: a project entry, with what the row shows.
struct TDocumentRow {
    int Entry = -1; // the entry's index in the project's list
    QString Name;   // its name within the project
    QString Path;   // the directory, ending with the separator
    TDocType Type = TDocType::Other;
    bool Missing = false;
};

// The rows of the project manager's document list, in three columns
// ("Document", "Path", "Date"). Rows are built in one pass over the project,
// with no lookup by name, and dates are read only for the rows a view asks
// about, so that listing a large project costs little more than its size.
class TDocumentListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { colName, colPath, colDate, colCount };
    enum Role { MissingRole = Qt::UserRole + 1, EntryRole, TypeRole };

    explicit TDocumentListModel(QObject* parent = nullptr);

    // Replaces all rows.
    void SetRows(std::vector<TDocumentRow> rows);
    const TDocumentRow& Row(int row) const { return FRows[std::size_t(row)]; }
    int Count() const { return int(FRows.size()); }

    // Whether names may be edited in place (rows of missing entries never are).
    void SetRenameEnabled(bool enabled) { FRenameEnabled = enabled; }
    // Asked to rename a row; returns the name the row takes (the old one
    // when the rename failed).
    std::function<QString(const TDocumentRow& row, const QString& typed)> OnRename;

    const TDocumentIcons& Icons() const { return FIcons; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QString DateText(int row) const;

    std::vector<TDocumentRow> FRows;
    // Date texts read so far, by row; rebuilt with the rows.
    mutable std::vector<std::optional<QString>> FDates;
    bool FRenameEnabled = false;
    TDocumentIcons FIcons;
};

// A file's last-write time as the list shows it: local time cut to the two
// seconds of a DOS file time, the locale's short date, and its long time
// unless that is exactly midnight. Empty for a file that cannot be read.
QString FileDateText(const QString& path);
QString DateTimeText(const QDateTime& time);

} // namespace bp
