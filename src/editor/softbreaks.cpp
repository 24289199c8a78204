#include "editor/softbreaks.h"

#include <algorithm>
#include <cstring>

namespace bp {

bool IsContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Whether a cut goes before byte c of an overlong line, rowBytes into a row:
// before a character once the row is full. More than three continuation
// bytes in a row make no character, and a cut between them harms nothing.
bool CutsRowBefore(long rowBytes, char c)
{
    return rowBytes >= TSoftBreaks::RowLength &&
           (!IsContinuationByte(c) || rowBytes >= TSoftBreaks::RowLength + 3);
}

// The widget's bytes without its soft breaks: each LF that follows no CR.
// A range never starts between the CR and the LF of a line break.
QByteArray WithoutSoftBreaks(QByteArray bytes)
{
    char* const s = bytes.data();
    qsizetype kept = 0;
    char previous = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = s[i];
        if (c != '\n' || previous == '\r')
            s[kept++] = c;
        previous = c;
    }
    bytes.truncate(kept);
    return bytes;
}

// Text on its way into the widget (line breaks as CR LF) with every run of
// more than SplitAbove bytes between line breaks cut into rows by soft
// breaks, each before a character.
QByteArray WithRows(const QByteArray& bytes)
{
    // Every line break holds an LF, and a line with its CR LF is at most two
    // bytes longer than its run.
    const char* line = bytes.constData();
    const char* const end = line + bytes.size();
    bool overlong = false;
    while (!overlong) {
        const auto* lf = static_cast<const char*>(std::memchr(line, '\n', size_t(end - line)));
        overlong = (lf ? lf : end) - line > TSoftBreaks::SplitAbove + 1;
        if (!lf)
            break;
        line = lf + 1;
    }
    if (!overlong)
        return bytes;
    QByteArray result;
    result.reserve(bytes.size() + bytes.size() / TSoftBreaks::RowLength + 1);
    for (qsizetype from = 0; from < bytes.size();) {
        qsizetype to = from;
        while (to < bytes.size() && bytes[to] != '\r' && bytes[to] != '\n')
            ++to;
        qsizetype row = 0;
        for (qsizetype i = from; i < to; ++i, ++row) {
            if (to - from > TSoftBreaks::SplitAbove && CutsRowBefore(row, bytes[i])) {
                result += '\n';
                row = 0;
            }
            result += bytes[i];
        }
        for (from = to; from < bytes.size() && (bytes[from] == '\r' || bytes[from] == '\n'); ++from)
            result += bytes[from];
    }
    return result;
}

bool TSoftBreaks::endsSoft(long row) const
{
    return std::binary_search(FRows.begin(), FRows.end(), row);
}

long TSoftBreaks::softBefore(long row) const
{
    return long(std::lower_bound(FRows.begin(), FRows.end(), row) - FRows.begin());
}

long TSoftBreaks::firstRowOfLine(long line) const
{
    // The i-th soft break ends a row of line FRows[i] - i, a number that never
    // falls as i grows: the first row of a line follows every soft break of
    // the lines before it.
    long low = 0;
    long high = count();
    while (low < high) {
        const long mid = low + (high - low) / 2;
        if (FRows[size_t(mid)] - mid < line)
            low = mid + 1;
        else
            high = mid;
    }
    return line + low;
}

void TSoftBreaks::insertBreaks(long row, long count, const std::vector<long>& soft)
{
    if (count <= 0)
        return;
    const auto at = std::lower_bound(FRows.begin(), FRows.end(), row);
    for (auto it = at; it != FRows.end(); ++it)
        *it += count;
    std::vector<long> added;
    added.reserve(soft.size());
    for (const long offset : soft)
        added.push_back(row + offset);
    FRows.insert(at, added.begin(), added.end());
}

void TSoftBreaks::removeBreaks(long row, long count)
{
    if (count <= 0)
        return;
    const auto from = std::lower_bound(FRows.begin(), FRows.end(), row);
    const auto to = std::lower_bound(from, FRows.end(), row + count);
    for (auto it = to; it != FRows.end(); ++it)
        *it -= count;
    FRows.erase(from, to);
}

bool IsLineBreak(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

// Whether a line of the text is longer than SplitAbove. Most texts break
// their lines with LF or CR LF: when no stretch without an LF is that long,
// no character needs a closer look.
static bool hasOverlongLine(QStringView text)
{
    bool longStretch = false;
    for (qsizetype from = 0; !longStretch;) {
        const qsizetype lf = text.indexOf(QLatin1Char('\n'), from);
        longStretch = (lf < 0 ? text.size() : lf) - from > TSoftBreaks::SplitAbove + 1;
        if (lf < 0)
            break;
        from = lf + 1;
    }
    qsizetype run = 0;
    for (qsizetype i = 0; longStretch && i < text.size(); ++i) {
        run = IsLineBreak(text[i]) ? 0 : run + 1;
        if (run > TSoftBreaks::SplitAbove)
            return true;
    }
    return false;
}

// The text with each line longer than SplitAbove cut into rows of RowLength
// code units by LFs, never between the halves of a surrogate pair; softRows
// gets the rows that end in a cut, counting CR LF, LF and CR as one break
// each. A null string when no line is that long.
QString WithRows(const QString& text, std::vector<long>& softRows)
{
    if (!hasOverlongLine(text))
        return QString();
    const QChar* const p = text.constData();
    const qsizetype n = text.size();
    QString result;
    result.reserve(n + n / TSoftBreaks::RowLength + 1);
    long row = 0;
    for (qsizetype from = 0; from < n;) {
        qsizetype to = from;
        while (to < n && !IsLineBreak(p[to]))
            ++to;
        qsizetype at = from;
        while (to - from > TSoftBreaks::SplitAbove && to - at > TSoftBreaks::RowLength) {
            qsizetype cut = at + TSoftBreaks::RowLength;
            if (p[cut].isLowSurrogate() && p[cut - 1].isHighSurrogate())
                --cut;
            result.append(p + at, cut - at);
            result.append(QLatin1Char('\n'));
            softRows.push_back(row++);
            at = cut;
        }
        result.append(p + at, to - at);
        if (to < n) {
            const qsizetype breakLength =
                p[to] == QLatin1Char('\r') && to + 1 < n && p[to + 1] == QLatin1Char('\n') ? 2 : 1;
            result.append(p + to, breakLength);
            to += breakLength;
            ++row;
        }
        from = to;
    }
    return result;
}

} // namespace bp
