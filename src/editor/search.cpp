#include "editor/search.h"

#include <QChar>

#include <algorithm>
#include <array>
#include <bit>
#include <string>
#include <utility>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define BP_SEARCH_SSE2 1
#endif

// A search visits every candidate position in turn. Checking each one with
// a full comparison is too slow for large texts, so the scan first looks
// only for positions whose character the case map turns into the search
// text's first character (eight at a time where SSE2 is available), and
// compares the rest of the search text only there. A whole-word search visits
// exactly the word starts among the candidates, so it can test each
// remaining position for being a word start instead of walking from word to
// word. Both give the positions the one-by-one walk would give, in the same
// order.

namespace bp {

namespace {

// The case map for every UTF-16 code unit, and the code units it changes,
// sorted by their upper-case form, so that all code units standing for one
// upper-case form can be listed without a pass over the whole table.
struct CaseTables {
    std::array<char16_t, 65536> upper;
    std::vector<std::pair<char16_t, char16_t>> changed; // (upper-case form, code unit)

    CaseTables()
    {
        for (unsigned c = 0; c < upper.size(); ++c) {
            const char16_t u = QChar(char16_t(c)).toUpper().unicode();
            upper[c] = u;
            if (u != c)
                changed.emplace_back(u, char16_t(c));
        }
        std::sort(changed.begin(), changed.end());
    }
};

const CaseTables& caseTables()
{
    static const CaseTables tables;
    return tables;
}

bool isWordChar(char16_t c)
{
    return !WordDelimiterSet.contains(c);
}

// Up to four code units looked for at once; unused entries repeat the first.
using Units = std::array<char16_t, 4>;

bool isOneOf(char16_t c, const Units& units)
{
    return c == units[0] || c == units[1] || c == units[2] || c == units[3];
}

#ifdef BP_SEARCH_SSE2
// Two mask bits for each of eight code units at s that is one of the units.
struct UnitsVector {
    explicit UnitsVector(const Units& units)
    {
        for (int i = 0; i < 4; ++i)
            v[i] = _mm_set1_epi16(short(units[i]));
    }
    unsigned hits(const char16_t* s) const
    {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        const __m128i a = _mm_or_si128(_mm_cmpeq_epi16(x, v[0]), _mm_cmpeq_epi16(x, v[1]));
        const __m128i b = _mm_or_si128(_mm_cmpeq_epi16(x, v[2]), _mm_cmpeq_epi16(x, v[3]));
        return unsigned(_mm_movemask_epi8(_mm_or_si128(a, b)));
    }
    __m128i v[4];
};
#endif

// The positions in [begin, end) holding one of the units, lowest first,
// until accept takes one; returns it, or -1.
template <typename Accept>
qsizetype scanDown(const char16_t* s, qsizetype begin, qsizetype end, const Units& units,
                   Accept accept)
{
    qsizetype p = begin;
#ifdef BP_SEARCH_SSE2
    const UnitsVector vec(units);
    for (; end - p >= 8; p += 8) {
        for (unsigned mask = vec.hits(s + p); mask != 0; mask &= mask - 1, mask &= mask - 1) {
            const qsizetype q = p + std::countr_zero(mask) / 2;
            if (accept(q))
                return q;
        }
    }
#endif
    for (; p < end; ++p) {
        if (isOneOf(s[p], units) && accept(p))
            return p;
    }
    return -1;
}

// As scanDown, highest position first.
template <typename Accept>
qsizetype scanUp(const char16_t* s, qsizetype begin, qsizetype end, const Units& units,
                 Accept accept)
{
    qsizetype p = end;
#ifdef BP_SEARCH_SSE2
    const UnitsVector vec(units);
    for (; p - begin >= 8; p -= 8) {
        unsigned mask = vec.hits(s + p - 8);
        while (mask != 0) {
            const int lane = (std::bit_width(mask) - 1) / 2;
            const qsizetype q = p - 8 + lane;
            if (accept(q))
                return q;
            mask &= ~(3u << (2 * lane));
        }
    }
#endif
    for (; p > begin; --p) {
        if (isOneOf(s[p - 1], units) && accept(p - 1))
            return p - 1;
    }
    return -1;
}

// A search text prepared once for any number of searches with the same
// options.
class SearchPattern {
public:
    SearchPattern(std::u16string_view searchText, TSearchOptions options)
        : FText(searchText), FMatchCase(options.testFlag(TSearchOption::MatchCase)),
          FWholeWord(options.testFlag(TSearchOption::WholeWord))
    {
        if (FText.empty())
            return;
        if (FMatchCase) {
            FFirstUnits.fill(FText[0]);
            FFirstCount = 1;
            return;
        }
        const auto& tables = caseTables();
        for (char16_t& c : FText)
            c = tables.upper[c];
        // Every code unit the case map turns into the first character.
        const char16_t first = FText[0];
        std::vector<char16_t> units;
        if (tables.upper[first] == first)
            units.push_back(first);
        for (auto it = std::lower_bound(tables.changed.begin(), tables.changed.end(),
                                        std::pair<char16_t, char16_t>(first, 0));
             it != tables.changed.end() && it->first == first; ++it)
            units.push_back(it->second);
        if (units.size() <= FFirstUnits.size()) {
            FFirstUnits.fill(units.front());
            std::copy(units.begin(), units.end(), FFirstUnits.begin());
            FFirstCount = int(units.size());
        }
    }

    // The first match at a candidate from `from` upwards.
    qsizetype FindDown(std::u16string_view text, qsizetype from) const
    {
        const qsizetype n = qsizetype(text.size());
        const qsizetype l = qsizetype(FText.size());
        if (l == 0 || n <= 0 || from < 0 || from > n - l)
            return -1;
        const char16_t* s = text.data();
        auto accept = [&](qsizetype q) { return matchesAt(s, n, q); };
        if (FFirstCount > 0)
            return scanDown(s, from, n - l + 1, FFirstUnits, accept);
        const auto& upper = caseTables().upper;
        for (qsizetype q = from; q <= n - l; ++q) {
            if (upper[s[q]] == FText[0] && accept(q))
                return q;
        }
        return -1;
    }

    // The first match at a candidate from `from` downwards. Candidates whose
    // match would run past the end of the text never match.
    qsizetype FindUp(std::u16string_view text, qsizetype from) const
    {
        const qsizetype n = qsizetype(text.size());
        const qsizetype l = qsizetype(FText.size());
        if (l == 0 || n <= 0 || from < 0 || from > n)
            return -1;
        const qsizetype last = std::min(from, n - l);
        if (last < 0)
            return -1;
        const char16_t* s = text.data();
        auto accept = [&](qsizetype q) { return matchesAt(s, n, q); };
        if (FFirstCount > 0)
            return scanUp(s, 0, last + 1, FFirstUnits, accept);
        const auto& upper = caseTables().upper;
        for (qsizetype q = last; q >= 0; --q) {
            if (upper[s[q]] == FText[0] && accept(q))
                return q;
        }
        return -1;
    }

private:
    // Whether the search text matches at q, whose first character is already
    // known to match and where the whole search text fits into the text.
    bool matchesAt(const char16_t* s, qsizetype n, qsizetype q) const
    {
        const qsizetype l = qsizetype(FText.size());
        // A whole-word candidate is a word start: a word character at the
        // start of the text or after a delimiter.
        if (FWholeWord && (!isWordChar(s[q]) || (q > 0 && isWordChar(s[q - 1]))))
            return false;
        if (FMatchCase) {
            if (!std::equal(FText.begin() + 1, FText.end(), s + q + 1))
                return false;
        } else {
            const auto& upper = caseTables().upper;
            for (qsizetype i = 1; i < l; ++i) {
                if (upper[s[q + i]] != FText[i])
                    return false;
            }
        }
        return !FWholeWord || q + l >= n || !isWordChar(s[q + l]);
    }

    std::u16string FText; // upper-cased unless matching case
    bool FMatchCase;
    bool FWholeWord;
    // The code units that stand for the first character; FFirstCount 0 when
    // there are more than four of them (then the case map is asked instead).
    Units FFirstUnits{};
    int FFirstCount = 0;
};

} // namespace

qsizetype SearchBuffer(std::u16string_view text, qsizetype selStart, qsizetype selLength,
                       std::u16string_view searchText, TSearchOptions options)
{
    const SearchPattern pattern(searchText, options);
    if (options.testFlag(TSearchOption::Down))
        return pattern.FindDown(text, selStart + selLength);
    return pattern.FindUp(text, selStart - qsizetype(searchText.size()));
}

bool ReplaceSelectionMatches(std::u16string_view selected, std::u16string_view findText,
                             bool matchCase)
{
    if (matchCase)
        return selected == findText;
    const auto asciiUpper = [](char16_t c) {
        return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c;
    };
    return std::equal(selected.begin(), selected.end(), findText.begin(), findText.end(),
                      [&](char16_t a, char16_t b) { return asciiUpper(a) == asciiUpper(b); });
}

TReplaceAllResult ReplaceAll(std::u16string_view text, qsizetype caret,
                             std::u16string_view findText, std::u16string_view replaceText,
                             TSearchOptions options)
{
    TReplaceAllResult result;
    result.SelStart = caret;
    const SearchPattern pattern(findText, options | TSearchOption::Down);
    const qsizetype findLength = qsizetype(findText.size());
    const qsizetype replaceLength = qsizetype(replaceText.size());
    // Every search starts directly after an inserted text, so a match lies
    // wholly in the part of the text not yet replaced, and searching the
    // original text from the matching position finds it. (A whole-word match
    // can only start after the delimiter that ended the previous match, so
    // the inserted text never decides whether it is a word start.) Positions
    // past the last replacement are shifted by `shift` in the new text.
    qsizetype from = caret;
    qsizetype shift = 0;
    for (;;) {
        const qsizetype found = pattern.FindDown(text, from);
        if (found < 0) {
            result.EndedByFailure = true;
            break;
        }
        const qsizetype p = found + shift;
        if (result.First >= 0 && p <= result.First) {
            result.EndedByFailure = false;
            result.SelStart = p;
            result.SelLength = findLength;
            break;
        }
        if (result.First < 0)
            result.First = p;
        result.Positions.push_back(found);
        result.SelStart = p + replaceLength;
        shift += replaceLength - findLength;
        from = found + findLength;
    }
    return result;
}

QString ApplyReplacements(std::u16string_view text, const std::vector<qsizetype>& positions,
                          qsizetype findLength, std::u16string_view replaceText)
{
    const qsizetype replaceLength = qsizetype(replaceText.size());
    QString out;
    out.resize(qsizetype(text.size()) + qsizetype(positions.size()) * (replaceLength - findLength));
    char16_t* d = reinterpret_cast<char16_t*>(out.data());
    qsizetype from = 0;
    for (const qsizetype p : positions) {
        d = std::copy_n(text.data() + from, p - from, d);
        d = std::copy_n(replaceText.data(), replaceLength, d);
        from = p + findLength;
    }
    std::copy_n(text.data() + from, qsizetype(text.size()) - from, d);
    return out;
}

} // namespace bp
