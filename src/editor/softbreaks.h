#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace bp {

// The rows in which a text control shows its text. Neither widget lays out
// part of a line: showing, measuring or typing into a line of megabytes
// costs seconds each time. So a line longer than SplitAbove code units goes
// into the widget cut into rows of about RowLength units, and the cuts (soft
// breaks) are no part of the text, its offsets or its line numbers. Rows are
// numbered as the widget numbers its lines; this class keeps which rows end
// in a soft break and turns rows into lines and back, each by a binary search
// over the soft breaks.
class TSoftBreaks {
public:
    // Lines up to SplitAbove units stay whole: longer ones are a minified or
    // generated text, not something written by hand.
    static constexpr long SplitAbove = 1 << 16;
    // Each key typed into a row lays it out again: about half a millisecond
    // for this many units (2 ms for 4 Ki).
    static constexpr long RowLength = 1 << 10;

    bool isEmpty() const { return FRows.empty(); }
    long count() const { return long(FRows.size()); }
    // The rows ending in a soft break, ascending.
    const std::vector<long>& rows() const { return FRows; }
    void clear() { FRows.clear(); }
    // Records a soft break at the end of row, which follows every row held.
    void append(long row) { FRows.push_back(row); }

    bool endsSoft(long row) const;
    // The number of soft breaks before row.
    long softBefore(long row) const;
    long lineOfRow(long row) const { return row - softBefore(row); }
    // The first row of a line (the number of rows when there is no such line).
    long firstRowOfLine(long line) const;

    // Row `row` was cut in count + 1 rows by count new breaks; soft lists
    // which of them are soft (0 for the first new break, ascending). Rows
    // after it move down.
    void insertBreaks(long row, long count, const std::vector<long>& soft);
    // The breaks at the ends of rows row to row + count - 1 are gone, joining
    // those rows with the row after them.
    void removeBreaks(long row, long count);

private:
    std::vector<long> FRows;
};

// Whether c is a UTF-8 continuation byte.
bool IsContinuationByte(char c);
// Whether a cut goes before byte c of an overlong line, rowBytes into a row.
bool CutsRowBefore(long rowBytes, char c);
// The widget's bytes without its soft breaks: each LF that follows no CR.
QByteArray WithoutSoftBreaks(QByteArray bytes);
// Text on its way into the widget (line breaks as CR LF) with every run of
// more than SplitAbove bytes between line breaks cut into rows.
QByteArray WithRows(const QByteArray& bytes);
// The same for UTF-16 text with line breaks of any kind; softRows gets the
// rows that end in a soft break.
QString WithRows(const QString& text, std::vector<long>& softRows);
bool IsLineBreak(QChar c);

} // namespace bp
