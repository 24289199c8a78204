#include "editor/search.h"

#include <QRandomGenerator>
#include <QtTest>

#include <string>

using namespace bp;

Q_DECLARE_METATYPE(bp::TSearchOptions)

namespace {

constexpr auto Down = TSearchOption::Down;
constexpr auto MatchCase = TSearchOption::MatchCase;
constexpr auto WholeWord = TSearchOption::WholeWord;
const auto view = [](const QString& s) { return searchView(s); };

// The search done the slow and obvious way, one candidate after the other
// with every character through QChar's upper-case mapping; a whole-word
// match is a word start followed by a delimiter or the end of the text.
// (Walking from word to word, as the search is described, visits the same
// word starts.)
qsizetype plainSearch(std::u16string_view t, qsizetype a, qsizetype b, std::u16string_view s,
                      TSearchOptions o)
{
    const qsizetype n = qsizetype(t.size()), l = qsizetype(s.size());
    const bool down = o.testFlag(Down);
    qsizetype p = down ? a + b : a - l;
    if (n == 0 || l == 0 || p < 0 || p > n)
        return -1;
    auto word = [&](qsizetype i) { return i >= 0 && i < n && !WordDelimiterSet.contains(t[i]); };
    auto map = [&](char16_t c) { return o.testFlag(MatchCase) ? c : QChar(c).toUpper().unicode(); };
    for (p = down ? p : std::min(p, n - l); p >= 0 && p <= n - l; p += down ? 1 : -1) {
        bool match = !o.testFlag(WholeWord) || (word(p) && !word(p - 1) && !word(p + l));
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

std::u16string randomText(QRandomGenerator& rng, std::u16string_view alphabet, int maxLength)
{
    std::u16string s(size_t(rng.bounded(maxLength + 1)), u' ');
    for (char16_t& c : s)
        c = alphabet[rng.bounded(int(alphabet.size()))];
    return s;
}

QString str(std::u16string_view s)
{
    return QString::fromUtf16(s.data(), qsizetype(s.size()));
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
        row("empty find", "abc", 0, 0, "", down, -1);

        row("ignore case", "abc", 0, 0, "ABC", down, 0);
        row("match case", "x ABC abc", 0, 0, "abc", Down | MatchCase, 6);
        row("y diaeresis above 255", QString::fromUtf16(u"\u0178"), 0, 0,
            QString::fromUtf16(u"\u00ff"), down, 0);
        row("dotless i stands for I", QString::fromUtf16(u"x\u0131f"), 0, 0, "IF", down, 1);
        row("half a surrogate pair", QString::fromUtf16(u"x\U0001F600"), 0, 0,
            QString::fromUtf16(u"\xD83D"), down, -1);

        row("whole word not foobar", "x foo foobar", 2, 3, "foo", ww, -1);
        row("whole word at start of text", "foo bar", 0, 0, "foo", ww, 0);
        row("inside a word skips it", "foo foo", 1, 0, "oo", ww, -1);
        row("underscore and end", "x for_each", 0, 0, "each", ww, 6);
        row("accent delimits", "fooé", 0, 0, "foo", ww, 0);
        row("digits are word characters", "2foo foo", 0, 0, "foo", ww, 5);
        row("up whole word", "foo foo", 7, 0, "foo", wwUp, 4);
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
        QCOMPARE(SearchBuffer(view(text), selStart, selLength, view(find), options), expected);
    }

    void replaceAll_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replace");
        QTest::addColumn<TSearchOptions>("options");
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("caret");
        QTest::addColumn<bool>("failed");
        const TSearchOptions down(Down), up;
        // clang-format off
        QTest::newRow("a by b") << "aaaa" << "a" << "b" << down << "bbbb" << 4 << 4 << true;
        QTest::newRow("a by aa") << "aa" << "a" << "aa" << down << "aaaa" << 2 << 4 << true;
        QTest::newRow("nothing found") << "xyz" << "a" << "b" << down << "xyz" << 0 << 0 << true;
        QTest::newRow("always down") << "ab" << "a" << "b" << up << "bb" << 1 << 1 << true;
        QTest::newRow("whole word at start") << "foo foobar foo" << "foo" << "x"
                                             << (Down | WholeWord) << "x foobar x" << 2 << 10 << true;
        // Deleting the first match brings the next to the same place: the
        // loop stops there with that match selected.
        QTest::newRow("empty replacement stops") << "aaa" << "a" << "" << down << "aa" << 1 << 0
                                                 << false;
        QTest::newRow("empty replacement, gap") << "aba" << "a" << "" << down << "b" << 2 << 1 << true;
        // clang-format on
    }

    void replaceAll()
    {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(QString, replace);
        QFETCH(TSearchOptions, options);
        QFETCH(QString, result);
        QFETCH(int, count);
        QFETCH(int, caret);
        QFETCH(bool, failed);
        const TReplaceAllResult r = ReplaceAll(view(text), 0, view(find), view(replace), options);
        QCOMPARE(ApplyReplacements(view(text), r.Matches, view(replace)), result);
        QCOMPARE(r.Count(), count);
        QCOMPARE(r.SelStart, caret);
        QCOMPARE(r.EndedByFailure, failed);
    }

    // Random texts long enough for the block-wise scan, characters whose case
    // forms lie on both sides of 255, and every option: SearchBuffer against
    // the plain search, the linear Replace All against the loop.
    void randomComparison()
    {
        QRandomGenerator rng(4711);
        const std::u16string_view alphabet = u"aA b_iI\u0131\u00ff\u0178\u00e9\u00c9";
        const auto n = [](qsizetype v) { return QString::number(v); };
        for (int run = 0; run < 30000; ++run) {
            const std::u16string t = randomText(rng, alphabet, 60);
            std::u16string f = randomText(rng, alphabet, 3);
            if (rng.bounded(2) && !t.empty()) // mostly a piece of the text
                f = t.substr(rng.bounded(int(t.size())), 1 + rng.bounded(4));
            std::u16string r = randomText(rng, alphabet, 3);
            if (rng.bounded(3) == 0) // the replacement holds the find text
                r.insert(rng.bounded(int(r.size()) + 1), f);
            const qsizetype a = rng.bounded(-2, int(t.size()) + 4), b = rng.bounded(3);
            const TSearchOptions o = TSearchOptions::fromInt(rng.bounded(8));
            const QString why = QString("'%1' in '%2' sel %3+%4 options %5, replaced by '%6'")
                                    .arg(str(f), str(t), n(a), n(b), n(o.toInt()), str(r));
            QVERIFY2(SearchBuffer(t, a, b, f, o) == plainSearch(t, a, b, f, o), qPrintable(why));

            const qsizetype caret =
                rng.bounded(2) ? 0 : std::clamp(a, qsizetype(0), qsizetype(t.size()));
            const LoopResult want = replaceAllLoop(t, caret, f, r, o | Down);
            const TReplaceAllResult got = ReplaceAll(t, caret, f, r, o);
            const QString gotText = ApplyReplacements(t, got.Matches, r);
            QVERIFY2(want.count <= 1000 && gotText == str(want.text) && got.Count() == want.count &&
                         got.First == want.first && got.SelStart == want.selStart &&
                         got.SelLength == want.selLength && got.EndedByFailure == want.failed,
                     qPrintable(why + " from " + n(caret)));
        }
    }

    // The UTF-8 search and Replace All find what the UTF-16 ones find, at the
    // same characters: one- to four-byte characters, case forms of another
    // length in UTF-8 (dotless i, long s, Kelvin sign), surrogate pairs, and
    // texts long enough for the block-wise scan.
    void utf8MatchesUtf16()
    {
        QRandomGenerator rng(1234);
        const std::u16string_view pieces[] = {
            u"a",      u"A",      u"i",      u"I",      u"s",          u"S",     u"k",
            u"K",      u"_",      u" ",      u"\r\n",   u"\u0131",     u"\u017f", u"\u212a",
            u"\u00e9", u"\u00c9", u"\u00ff", u"\u0178", u"\U0001F600", u"\u01c5"};
        const auto randomPieces = [&](int max, std::vector<qsizetype>* bounds) {
            std::u16string s;
            for (int i = rng.bounded(max + 1); i > 0; --i) {
                s += pieces[rng.bounded(int(std::size(pieces)))];
                if (bounds)
                    bounds->push_back(qsizetype(s.size()));
            }
            return s;
        };
        const auto utf8 = [](std::u16string_view s) { return str(s).toUtf8(); };
        const auto view8 = [](const QByteArray& b) {
            return std::string_view(b.constData(), size_t(b.size()));
        };
        for (int run = 0; run < 20000; ++run) {
            std::vector<qsizetype> bounds{0};
            const std::u16string t = randomPieces(rng.bounded(8) ? 12 : 40, &bounds);
            std::u16string f = randomPieces(3, nullptr);
            if (rng.bounded(2) && bounds.size() > 1) { // mostly a piece of the text
                const int i = rng.bounded(int(bounds.size()) - 1);
                const int j = std::min(int(bounds.size()) - 1, i + 1 + rng.bounded(3));
                f = t.substr(size_t(bounds[i]), size_t(bounds[j] - bounds[i]));
            }
            const std::u16string r = randomPieces(3, nullptr);
            const QByteArray t8 = utf8(t), r8 = utf8(r);
            const auto bytes = [&](std::u16string_view s, qsizetype off) {
                return utf8(s.substr(0, size_t(off))).size();
            };
            qsizetype a = bounds[rng.bounded(int(bounds.size()))];
            qsizetype e = bounds[rng.bounded(int(bounds.size()))];
            if (e < a)
                std::swap(a, e);
            const TSearchOptions o = TSearchOptions::fromInt(rng.bounded(8));
            const QString why = QString("'%1' in '%2' sel %3-%4 options %5, replaced by '%6'")
                                    .arg(str(f), str(t))
                                    .arg(a)
                                    .arg(e)
                                    .arg(o.toInt())
                                    .arg(str(r));

            const qsizetype p = SearchBuffer(t, a, e - a, f, o);
            const TSearchMatch m =
                SearchBufferUtf8(view8(t8), bytes(t, a), bytes(t, e) - bytes(t, a), f, o);
            QVERIFY2(p < 0 ? m.Pos < 0
                           : m.Pos == bytes(t, p) &&
                                 m.Length == bytes(t, p + qsizetype(f.size())) - bytes(t, p),
                     qPrintable(why));

            const TReplaceAllResult want = ReplaceAll(t, 0, f, r, o);
            const TReplaceAllResult got = ReplaceAll(view8(t8), 0, f, view8(r8), o);
            const std::u16string newText = ApplyReplacements(t, want.Matches, r).toStdU16String();
            QByteArray gotText = t8;
            if (got.Count() > 0) {
                const qsizetype from = got.Matches.front().Pos;
                const qsizetype to = got.Matches.back().Pos + got.Matches.back().Length;
                gotText.replace(from, to - from,
                                ApplyReplacements(view8(t8), from, to, got.Matches, view8(r8)));
            }
            QVERIFY2(gotText == utf8(newText) && got.Count() == want.Count() &&
                         got.EndedByFailure == want.EndedByFailure &&
                         got.SelStart == bytes(newText, want.SelStart) &&
                         got.SelLength == bytes(newText, want.SelStart + want.SelLength) -
                                              bytes(newText, want.SelStart),
                     qPrintable(why));
        }
    }

    // Only a to z compare without case, unlike the search.
    void replaceSelectionMatches()
    {
        QVERIFY(ReplaceSelectionMatches(u"Foo", u"fOO", false));
        QVERIFY(!ReplaceSelectionMatches(u"Foo", u"fOO", true));
        QVERIFY(ReplaceSelectionMatches(u"Foo", u"Foo", true));
        QVERIFY(!ReplaceSelectionMatches(u"caf\u00e9", u"caf\u00c9", false));
        QVERIFY(!ReplaceSelectionMatches(u"foo ", u"foo", false));
    }
};

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_search.moc"
