#include "editor/softbreaks.h"

#include <algorithm>

namespace bp {

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

} // namespace bp
