#include "model/search.h"

#include <QRandomGenerator>
#include <QtTest>

#include <string>

using namespace bp;

Q_DECLARE_METATYPE(bp::TSearchOptions)

namespace {

constexpr auto Down = TSearchOption::Down;
constexpr auto MatchCase = TSearchOption::MatchCase;
constexpr auto WholeWord = TSearchOption::WholeWord;

// The search done the slow and obvious way: every candidate in turn, every
// character through QChar's upper-case mapping.
qsizetype plainSearch(std::u16string_view t, qsizetype a, qsizetype b, std::u16string_view s,
                      TSearchOptions o)
{
    const qsizetype n = qsizetype(t.size()), l = qsizetype(s.size());
    const bool down = o.testFlag(Down);
    qsizetype p = down ? a + b : a - l;
    if (n == 0 || l == 0 || p < 0 || p > n)
        return -1;
    // The character starting at i, or ending there (before); a pair counts as one.
    auto word = [&](qsizetype i, bool before) {
        if (before ? i <= 0 : i >= n)
            return false;
        char32_t c = t[before ? i - 1 : i];
        if (before && i >= 2 && QChar::isLowSurrogate(t[i - 1]) && QChar::isHighSurrogate(t[i - 2]))
            c = QChar::surrogateToUcs4(t[i - 2], t[i - 1]);
        if (!before && i + 1 < n && QChar::isHighSurrogate(t[i]) && QChar::isLowSurrogate(t[i + 1]))
            c = QChar::surrogateToUcs4(t[i], t[i + 1]);
        return IsWordCharacter(c);
    };
    auto map = [&](char16_t c) { return o.testFlag(MatchCase) ? c : QChar(c).toUpper().unicode(); };
    for (p = down ? p : std::min(p, n - l); p >= 0 && p <= n - l; p += down ? 1 : -1) {
        bool match =
            !o.testFlag(WholeWord) || (word(p, false) && !word(p, true) && !word(p + l, false));
        for (qsizetype i = 0; match && i < l; ++i)
            match = map(t[p + i]) == map(s[i]);
        if (match)
            return p;
    }
    return -1;
}

struct LoopResult {
    std::u16string text;
    qsizetype first = -1, selStart = 0, selLength = 0, count = 0;
    bool failed = true;
};

// Replace All as the editor's loop runs it, one SearchBuffer call and one
// string replacement per match.
LoopResult replaceAllLoop(std::u16string text, qsizetype caret, std::u16string_view f,
                          std::u16string_view r, TSearchOptions o)
{
    LoopResult res{std::move(text), -1, caret};
    for (qsizetype p; (p = SearchBuffer(res.text, res.selStart, res.selLength, f, o)) >= 0;) {
        res.selStart = p; // a successful search selects the match
        res.selLength = qsizetype(f.size());
        if (res.first >= 0 && p <= res.first) {
            res.failed = false;
            break;
        }
        if (res.first < 0)
            res.first = p;
        res.text.replace(size_t(p), f.size(), r);
        res.selStart = p + qsizetype(r.size());
        res.selLength = 0;
        if (++res.count > 1000)
            break; // runaway: the comparison fails
    }
    return res;
}

const auto str = [](std::u16string_view s) { return QStringView(s).toString(); };

// Random pieces of one to four UTF-8 bytes, case forms on both sides of 255 or
// of another UTF-8 length (dotless i, long s, Kelvin sign), word characters
// beyond ASCII (a digit, a combining mark, a letter of a supplementary plane)
// and delimiters ($, superscript two, an emoji); at gets their ends.
std::u16string randomPieces(QRandomGenerator& rng, int max, std::vector<qsizetype>* at = nullptr)
{
    static const std::u16string_view pieces[] = {
        u"a",      u"A",      u"i",      u"I",      u"s",          u"S",         u"k",
        u"K",      u"_",      u" ",      u"\r\n",   u"\u0131",     u"\u017f",    u"\u212a",
        u"\u00e9", u"\u00c9", u"\u00ff", u"\u0178", u"\U0001F600", u"\u01c5",    u"$",
        u"\u00b2", u"\u0663", u"\u0301", u"\u00df", u"\U0001D400", u"\U0001D41A"};
    std::u16string s;
    for (int i = rng.bounded(max + 1); i > 0; --i) {
        s += pieces[rng.bounded(int(std::size(pieces)))];
        if (at)
            at->push_back(qsizetype(s.size()));
    }
    return s;
}

} // namespace

class TestSearch : public QObject {
    Q_OBJECT
private slots:
    void searchBuffer_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<QString>("find");
        QTest::addColumn<TSearchOptions>("options");
        QTest::addColumn<int>("expected");
        const auto row = [](const char* name, const QString& text, int selStart, int selLength,
                            const QString& find, TSearchOptions options, int expected) {
            QTest::newRow(name) << text << selStart << selLength << find << options << expected;
        };
        const TSearchOptions down(Down), up, ww = Down | WholeWord, wwUp(WholeWord);
        row("down from caret", "abc abc", 0, 0, "abc", down, 0);
        row("down after selection", "abc abc", 0, 3, "abc", down, 4);
        row("no wrap down", "abc abc", 4, 3, "abc", down, -1);
        row("up before selection", "abc abc", 4, 3, "abc", up, 0);
        row("no wrap up", "abc abc", 0, 3, "abc", up, -1);
        row("up ends at caret", "xx abc", 6, 0, "abc", up, 3);

        row("match case", "x ABC abc", 0, 0, "abc", Down | MatchCase, 6);
        row("half a surrogate pair", QString::fromUtf16(u"x\U0001F600"), 0, 0,
            QString::fromUtf16(u"\xD83D"), down, -1);

        row("whole word not foobar", "x foo foobar", 2, 3, "foo", ww, -1);
        row("whole word at start of text", "foo bar", 0, 0, "foo", ww, 0);
        row("inside a word skips it", "foo foo", 1, 0, "oo", ww, -1);
        row("underscore joins", "x for_each each", 0, 0, "each", ww, 11);
        row("dollar delimits", "x$each", 0, 0, "each", ww, 2);
        row("accented letter joins", u"caf\u00e9 caf"_qs, 0, 0, "caf", ww, 5);
        row("letter after match joins", u"Gr\u00f6\u00dfe"_qs, 0, 0, "Gr", ww, -1);
        row("letter before match joins", u"\u00dfe e"_qs, 0, 0, "e", ww, 3);
        row("combining mark joins", u"e\u0301 e"_qs, 0, 0, "e", ww, 3);
        row("digits are word characters", "2foo foo", 0, 0, "foo", ww, 5);
        row("digits of other scripts", u"foo\u0663 foo"_qs, 0, 0, "foo", ww, 5);
        row("superscript delimits", u"foo\u00b2"_qs, 0, 0, "foo", ww, 0);
        row("supplementary letter before", u"\U0001D400foo foo"_qs, 0, 0, "foo", ww, 6);
        row("supplementary letter after", u"foo\U0001D41A foo"_qs, 0, 0, "foo", ww, 6);
        row("emoji delimits", u"\U0001F600foo"_qs, 0, 0, "foo", ww, 2);
        row("word of another script", u"\u03b1\u03b2 \u03b2"_qs, 0, 0, u"\u0392"_qs, ww, 3);
        row("up from inside foobar", "foo foobar", 10, 0, "foo", wwUp, 0);
    }

    void searchBuffer()
    {
        QFETCH(QString, text);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        QFETCH(QString, find);
        QFETCH(TSearchOptions, options);
        QFETCH(int, expected);
        QCOMPARE(SearchBuffer(searchView(text), selStart, selLength, searchView(find), options),
                 expected);
    }

    // Replace All always searches down; deleting a match brings the next one
    // to the same place, where the loop stops with that match selected. A
    // single Replace compares the selection whole, with case if asked, and
    // otherwise by the search's own case map.
    void replaceRules()
    {
        QVERIFY(!ReplaceSelectionMatches(u"Foo", u"fOO", true));
        QVERIFY(ReplaceSelectionMatches(u"Foo", u"Foo", true));
        QVERIFY(!ReplaceSelectionMatches(u"foo ", u"foo", false));
        QVERIFY(!ReplaceSelectionMatches(u"\u00c4pfel", u"\u00e4pfel", true));
        // Without case, every letter the search folds: what Find Next selects, Replace takes.
        for (const auto& [selected, find] :
             {std::pair(u"\u00c4pfel", u"\u00e4pfel"), std::pair(u"\u0131f", u"IF"),
              std::pair(u"\u0394\u03a3", u"\u03b4\u03c3")}) {
            QVERIFY(SearchBuffer(selected, 0, 0, find, Down) == 0);
            QVERIFY(ReplaceSelectionMatches(selected, find, false));
        }
        const TReplaceAllResult stop = ReplaceAll(u"aaa", 0, u"a", u"", {});
        QCOMPARE(ApplyReplacements(u"aaa", stop.Matches, u""), QString("aa"));
        QVERIFY(!stop.EndedByFailure && stop.SelStart == 0 && stop.SelLength == 1);
        const TReplaceAllResult gap = ReplaceAll(u"aba", 0, u"a", u"", {});
        QCOMPARE(ApplyReplacements(u"aba", gap.Matches, u""), QString("b"));
        QVERIFY(gap.EndedByFailure && gap.SelStart == 1 && gap.SelLength == 0);
    }

    // Deleting a whole word from between the two halves of a broken pair
    // joins them into one letter (U+10000), so the word after that letter no
    // longer starts a word: Replace All finds what the editor's loop finds.
    void replaceAllDeletionJoinsSurrogates()
    {
        const std::u16string text = u"\xD800x\xDC00x x";
        const LoopResult want = replaceAllLoop(text, 0, u"x", u"", Down | WholeWord);
        QCOMPARE(str(want.text), QString::fromUtf16(u"\U00010000x "));
        const TReplaceAllResult got = ReplaceAll(text, 0, u"x", u"", WholeWord);
        QCOMPARE(ApplyReplacements(text, got.Matches, u""), str(want.text));
        QCOMPARE(got.Count(), want.count);
        QVERIFY(got.SelStart == want.selStart && got.SelLength == want.selLength);
        // A replacement between the halves keeps them apart.
        const TReplaceAllResult kept = ReplaceAll(text, 0, u"x", u"y", WholeWord);
        QCOMPARE(ApplyReplacements(text, kept.Matches, u"y"),
                 QString::fromUtf16(u"\xD800y\xDC00y y"));
    }

    // Random texts long enough for the block-wise scan, and every option: the
    // search against the plain one, the linear Replace All against the loop,
    // the UTF-8 search and Replace All against the UTF-16 ones.
    void randomComparison()
    {
        QRandomGenerator rng(4711);
        const auto n = [](qsizetype v) { return QString::number(v); };
        // The UTF-8 length of the first k code units of s.
        const auto bytes = [](std::u16string_view s, qsizetype k) {
            return str(s.substr(0, size_t(k))).toUtf8().size();
        };
        for (int run = 0; run < 50000; ++run) {
            std::vector<qsizetype> at{0};
            const std::u16string t = randomPieces(rng, rng.bounded(2) ? 12 : 48, &at);
            const auto bound = [&] { return at[rng.bounded(int(at.size()))]; };
            std::u16string f = randomPieces(rng, 3);
            if (rng.bounded(4) && at.size() > 1) { // mostly a piece of the text
                const int i = rng.bounded(int(at.size()) - 1);
                const int j = std::min(int(at.size()) - 1, i + 1 + rng.bounded(3));
                f = t.substr(size_t(at[i]), size_t(at[j] - at[i]));
            }
            std::u16string r = randomPieces(rng, 3);
            if (rng.bounded(3) == 0) // the replacement holds the find text
                r = rng.bounded(2) ? f + r : r + f;
            const TSearchOptions o = TSearchOptions::fromInt(rng.bounded(8));
            const qsizetype a = rng.bounded(-2, int(t.size()) + 4), b = rng.bounded(3);
            const qsizetype caret = rng.bounded(2) ? 0 : bound();
            const auto [a8, e8] = std::minmax({bound(), bound()});
            const QString why =
                QString("'%1' in '%2' at %3+%4, %5-%6 options %7, by '%8' from %9")
                    .arg(str(f), str(t), n(a), n(b), n(a8), n(e8), n(o.toInt()), str(r), n(caret));
            QVERIFY2(SearchBuffer(t, a, b, f, o) == plainSearch(t, a, b, f, o), qPrintable(why));

            const LoopResult want = replaceAllLoop(t, caret, f, r, o | Down);
            const TReplaceAllResult got = ReplaceAll(t, caret, f, r, o);
            const QString newText = ApplyReplacements(t, got.Matches, r);
            QVERIFY2(want.count <= 1000 && newText == str(want.text) && got.Count() == want.count &&
                         got.First == want.first && got.SelStart == want.selStart &&
                         got.SelLength == want.selLength && got.EndedByFailure == want.failed,
                     qPrintable(why));

            const std::string t8 = str(t).toStdString(), r8 = str(r).toStdString();
            const qsizetype p = SearchBuffer(t, a8, e8 - a8, f, o);
            const TSearchMatch m =
                SearchBufferUtf8(t8, bytes(t, a8), bytes(t, e8) - bytes(t, a8), f, o);
            QVERIFY2(p < 0 ? m.Pos < 0
                           : m.Pos == bytes(t, p) &&
                                 m.Length == bytes(t, p + qsizetype(f.size())) - bytes(t, p),
                     qPrintable(why));

            const TReplaceAllResult got8 = ReplaceAll(t8, bytes(t, caret), f, r8, o);
            std::string text8 = t8;
            if (got8.Count() > 0) {
                const qsizetype from = got8.Matches.front().Pos;
                const qsizetype to = got8.Matches.back().Pos + got8.Matches.back().Length;
                text8.replace(size_t(from), size_t(to - from),
                              ApplyReplacements(t8, from, to, got8.Matches, r8).toStdString());
            }
            const std::u16string u = newText.toStdU16String();
            const qsizetype sel = got.SelStart;
            QVERIFY2(text8 == newText.toStdString() && got8.Count() == got.Count() &&
                         got8.EndedByFailure == got.EndedByFailure &&
                         got8.SelStart == bytes(u, sel) &&
                         got8.SelLength == bytes(u, sel + got.SelLength) - bytes(u, sel),
                     qPrintable(why));
        }
    }
};

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_search.moc"
