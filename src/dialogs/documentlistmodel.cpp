#include "dialogs/documentlistmodel.h"

#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QFont>
#include <QLocale>
#include <QPainter>
#include <QPalette>
#include <QPolygon>

namespace bp {

namespace {

struct TTypeLook {
    QChar Letter;
    QColor Colour;
};

TTypeLook lookOf(TDocType type)
{
    switch (type) {
    case TDocType::Java:
        return {QLatin1Char('J'), QColor(0xB0, 0x50, 0x10)};
    case TDocType::Html:
        return {QLatin1Char('H'), QColor(0x10, 0x50, 0xC0)};
    case TDocType::Text:
        return {QLatin1Char('T'), QColor(0x40, 0x40, 0x40)};
    case TDocType::Other:
        break;
    }
    return {QLatin1Char('?'), QColor(0x70, 0x20, 0x90)};
}

// A sheet of paper with a folded corner and the type's letter on it.
QPixmap drawPage(TDocType type, bool missing, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, size > 16);

    const int left = size / 8;
    const int right = size - size / 8 - 1;
    const int fold = size / 4;
    const QPolygon sheet({QPoint(left, 0), QPoint(right - fold, 0), QPoint(right, fold),
                          QPoint(right, size - 1), QPoint(left, size - 1)});
    p.setPen(QPen(missing ? QColor(0x90, 0x90, 0x90) : QColor(0x30, 0x30, 0x30), 1));
    p.setBrush(missing ? QColor(0xE8, 0xE8, 0xE8) : QColor(Qt::white));
    p.drawPolygon(sheet);
    p.drawPolyline(
        QPolygon({QPoint(right - fold, 0), QPoint(right - fold, fold), QPoint(right, fold)}));

    const TTypeLook look = lookOf(type);
    QFont font = QApplication::font();
    font.setBold(true);
    font.setPixelSize(size * 5 / 8);
    p.setFont(font);
    p.setPen(missing ? QColor(0xA0, 0xA0, 0xA0) : look.Colour);
    p.drawText(QRect(left, fold / 2, right - left + 1, size - fold / 2), Qt::AlignCenter,
               QString(look.Letter));

    if (missing) {
        // Struck through: the entry stays, its file is gone.
        p.setPen(QPen(QColor(0xD0, 0x10, 0x10), size > 16 ? 3 : 2));
        p.drawLine(QPoint(1, 1), QPoint(size - 2, size - 2));
        p.drawLine(QPoint(size - 2, 1), QPoint(1, size - 2));
    }
    return pixmap;
}

int slot(TDocType type, bool missing)
{
    return ordinal(type) + (missing ? kDocTypeCount : 0);
}

} // namespace

TDocumentIcons::TDocumentIcons()
{
    for (int t = 0; t < kDocTypeCount; ++t) {
        for (bool missing : {false, true}) {
            const auto type = static_cast<TDocType>(t);
            QIcon& icon = FIcons[std::size_t(slot(type, missing))];
            icon.addPixmap(drawPage(type, missing, 32));
            FSmall[std::size_t(slot(type, missing))] = drawPage(type, missing, 16);
            icon.addPixmap(FSmall[std::size_t(slot(type, missing))]);
        }
    }
}

const QIcon& TDocumentIcons::Icon(TDocType type, bool missing) const
{
    return FIcons[std::size_t(slot(type, missing))];
}

const QPixmap& TDocumentIcons::SmallPixmap(TDocType type, bool missing) const
{
    return FSmall[std::size_t(slot(type, missing))];
}

QString DateTimeText(const QDateTime& time)
{
    QDateTime local = time.toLocalTime();
    // A DOS file time counts in steps of two seconds.
    const QTime t = local.time();
    local.setTime(QTime(t.hour(), t.minute(), t.second() & ~1));
    const QLocale locale = QLocale::system();
    QString text = locale.toString(local.date(), QLocale::ShortFormat);
    if (local.time() != QTime(0, 0))
        text += QLatin1Char(' ') + locale.toString(local.time(), QLocale::LongFormat);
    return text;
}

QString FileDateText(const QString& path)
{
    // Looked up, not opened: opening a pipe or a device could wait forever.
    const QFileInfo info(path);
    if (!info.exists() || !info.isReadable())
        return QString();
    const QDateTime time = info.lastModified();
    return time.isValid() ? DateTimeText(time) : QString();
}

TDocumentListModel::TDocumentListModel(QObject* parent) : QAbstractTableModel(parent) {}

void TDocumentListModel::SetRows(std::vector<TDocumentRow> rows)
{
    beginResetModel();
    FRows = std::move(rows);
    FDates.assign(FRows.size(), std::nullopt);
    endResetModel();
}

int TDocumentListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Count();
}

int TDocumentListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : colCount;
}

QString TDocumentListModel::DateText(int row) const
{
    std::optional<QString>& date = FDates[std::size_t(row)];
    if (!date) {
        const TDocumentRow& r = Row(row);
        date = r.Missing ? QString() : FileDateText(r.Path + r.Name);
    }
    return *date;
}

QVariant TDocumentListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= Count())
        return {};
    const TDocumentRow& row = Row(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        switch (index.column()) {
        case colName:
            return row.Name;
        case colPath:
            return row.Path;
        case colDate:
            return DateText(index.row());
        }
        break;
    case Qt::DecorationRole:
        if (index.column() == colName)
            return FIcons.Icon(row.Type, row.Missing);
        break;
    case Qt::ForegroundRole:
        if (row.Missing)
            return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
        break;
    case Qt::ToolTipRole:
        if (row.Missing)
            return tr("'%1' is missing").arg(row.Path + row.Name);
        break;
    case MissingRole:
        return row.Missing;
    case EntryRole:
        return row.Entry;
    case TypeRole:
        return ordinal(row.Type);
    }
    return {};
}

bool TDocumentListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || index.column() != colName || !(flags(index) & Qt::ItemIsEditable))
        return false;
    TDocumentRow& row = FRows[std::size_t(index.row())];
    const QString typed = value.toString();
    if (typed == row.Name || !OnRename)
        return false;
    const QString name = OnRename(row, typed);
    if (name == row.Name)
        return false;
    row.Name = name;
    FDates[std::size_t(index.row())].reset();
    emit dataChanged(index, this->index(index.row(), colCount - 1));
    return true;
}

Qt::ItemFlags TDocumentListModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && FRenameEnabled && index.column() == colName && !Row(index.row()).Missing)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant TDocumentListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case colName:
        return tr("Document");
    case colPath:
        return tr("Path");
    case colDate:
        return tr("Date");
    }
    return {};
}

} // namespace bp
