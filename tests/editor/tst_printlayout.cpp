// The printer text stream's layout, drawn on an image (positions as the layout reports them)
// and into a PDF file (its text read back with pdftotext).
#include "editor/printlayout.h"
#include "support/pdftext.h"
#include "support/testenv.h"

#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QtTest>

#include <optional>

using namespace bp;
using namespace bp::test;

namespace {

QFont printFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(10);
    return font;
}

// A white image of the given size to print on, with the metrics the layout sees there.
struct Surface {
    Surface(int width, int height) : image(width, height, QImage::Format_RGB32)
    {
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(printFont());
        const QFontMetrics m = painter.fontMetrics();
        charHeight = m.height();
        lineHeight = charHeight + 2;
        tab = 8 * m.averageCharWidth();
        metrics.emplace(m);
    }
    // Writes the texts through one layout and returns what it drew.
    QList<TPrintedRun> write(const QStringList& texts)
    {
        QPainter painter(&image);
        painter.setFont(printFont());
        TPrintLayout layout(painter);
        for (const QString& t : texts)
            layout.Write(t);
        return layout.Runs();
    }
    int width(const QString& text) const { return metrics->horizontalAdvance(text); }
    bool blank() const
    {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != qRgb(255, 255, 255))
                    return false;
        return true;
    }

    QImage image;
    std::optional<QFontMetrics> metrics;
    int charHeight = 0;
    int lineHeight = 0;
    int tab = 0;
};

TPrintedRun run(int page, int x, int y, const QString& text)
{
    return TPrintedRun{page, QPoint(x, y), text};
}

QString describe(const QList<TPrintedRun>& runs)
{
    QStringList out;
    for (const TPrintedRun& r : runs)
        out << QStringLiteral("%1:(%2,%3)'%4'")
                   .arg(r.Page)
                   .arg(r.Position.x())
                   .arg(r.Position.y())
                   .arg(r.Text);
    return out.join(QStringLiteral(" "));
}

#define COMPARE_RUNS(actual, expected)                                                            \
    QVERIFY2((actual) == (expected),                                                              \
             qPrintable(QStringLiteral("got ") + describe(actual) + QStringLiteral("\nwant ") +   \
                        describe(expected)))

} // namespace

class TestPrintLayout : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void copiesFollowOneAnotherOnOnePage()
    {
        Surface s(800, 600);
        const QStringList lines{"alpha", "beta", "gamma"};
        QList<TPrintedRun> runs;
        QVERIFY(PrintLines(s.image, printFont(), int(lines.size()),
                           [&](int i) { return lines[i]; }, 2, &runs));
        QList<TPrintedRun> want;
        for (int i = 0; i < 6; ++i)
            want << run(0, 0, i * s.lineHeight, lines[i % 3]);
        COMPARE_RUNS(runs, want);
        QVERIFY2(!s.blank(), "nothing was drawn");
    }

    void noCopiesPrintNothing()
    {
        Surface s(800, 600);
        QList<TPrintedRun> runs{run(0, 0, 0, "left over")};
        QVERIFY(PrintLines(s.image, printFont(), 1, [](int) { return QStringLiteral("x"); }, 0,
                           &runs));
        QVERIFY(runs.isEmpty());
        QVERIFY(s.blank());
    }

    void emptyDocumentDrawsNothing()
    {
        Surface s(800, 600);
        QList<TPrintedRun> runs{run(0, 0, 0, "left over")};
        QVERIFY(PrintLines(s.image, printFont(), 0, [](int) { return QString(); }, 1, &runs));
        QVERIFY(runs.isEmpty());
        QVERIFY(s.blank());
    }

    // Cut at a character, not at the blank between words.
    void lineWiderThanPageContinuesOnTheNextLine()
    {
        Surface probe(10, 10);
        const QString text = QStringLiteral("aaaa bbbbbbbbbbb");
        const int width = probe.width(QStringLiteral("aaaa bb")) + probe.width("b") / 2;
        Surface s(width, 600);
        COMPARE_RUNS(s.write({text}),
                     (QList<TPrintedRun>{run(0, 0, 0, "aaaa bb"),
                                         run(0, 0, s.lineHeight, "bbbbbbb"),
                                         run(0, 0, 2 * s.lineHeight, "bb")}));
    }

    // Each printed line of a long text is as full as the page allows, nothing lost or doubled.
    void longLineIsCutIntoFullRows()
    {
        QString text;
        for (int i = 0; i < 3000; ++i)
            text += QChar(u'a' + i % 26);
        text += QStringLiteral("\U0001F600tail"); // a pair of surrogates is never split
        for (int width : {333, 1000, 5000}) {
            Surface s(width, 4000);
            const QList<TPrintedRun> runs = s.write({text});
            QString joined;
            for (qsizetype i = 0; i < runs.size(); ++i) {
                const TPrintedRun& r = runs[i];
                QCOMPARE(r.Page, 0);
                QCOMPARE(r.Position, QPoint(0, int(i) * s.lineHeight));
                QVERIFY(s.width(r.Text) <= width);
                QVERIFY(!r.Text.back().isHighSurrogate());
                if (i + 1 < runs.size()) {
                    const QString& next = runs[i + 1].Text;
                    QVERIFY(s.width(r.Text + next.left(next[0].isHighSurrogate() ? 2 : 1)) > width);
                }
                joined += r.Text;
            }
            QCOMPARE(joined, text);
        }
    }

    // A character outside the basic plane is cut whole or not at all.
    void surrogatePairIsNeverSplit()
    {
        Surface probe(10, 10);
        const QString face = QStringLiteral("\U0001F600");
        QVERIFY(probe.width(face) > 1);
        Surface s(probe.width("abc") + probe.width(face) - 1, 600);
        const QList<TPrintedRun> runs = s.write({"abc" + face + "d"});
        QVERIFY(runs.size() >= 2);
        QCOMPARE(runs[0].Text, QStringLiteral("abc"));
        QVERIFY(runs[1].Text.startsWith(face));
    }

    void textFillingTheRestOfALineContinuesOnTheNext()
    {
        Surface probe(10, 10);
        const int width = probe.width(QStringLiteral("abcdef"));
        Surface s(width, 600);
        // "abc" leaves room for "def" exactly; the rest goes on below.
        COMPARE_RUNS(s.write({"abc", "defgh"}),
                     (QList<TPrintedRun>{run(0, 0, 0, "abc"), run(0, s.width("abc"), 0, "def"),
                                         run(0, 0, s.lineHeight, "gh")}));
    }

    void tabsMoveToStopsEveryEightAverageCharacterWidths()
    {
        Surface s(800, 600);
        // "abcdefghij" passes the first stop, not the second.
        QVERIFY(s.width("abcdefghij") > s.tab && s.width("abcdefghij") < 2 * s.tab);
        COMPARE_RUNS(s.write({"a\tb\tc", "\nabcdefghij\tk", "\n\td"}),
                     (QList<TPrintedRun>{run(0, 0, 0, "a"), run(0, s.tab, 0, "b"),
                                         run(0, 2 * s.tab, 0, "c"),
                                         run(0, 0, s.lineHeight, "abcdefghij"),
                                         run(0, 2 * s.tab, s.lineHeight, "k"),
                                         run(0, s.tab, 2 * s.lineHeight, "d")}));
    }

    void tabPastTheRightEdgeStartsANewLine()
    {
        Surface probe(10, 10);
        Surface s(probe.tab + probe.tab / 2, 600);
        COMPARE_RUNS(s.write({"a\tb\tc"}),
                     (QList<TPrintedRun>{run(0, 0, 0, "a"), run(0, s.tab, 0, "b"),
                                         run(0, 0, s.lineHeight, "c")}));
    }

    void formFeedStartsANewPage()
    {
        Surface s(800, 600);
        COMPARE_RUNS(s.write({"a\nb\fc\n"}),
                     (QList<TPrintedRun>{run(0, 0, 0, "a"), run(0, 0, s.lineHeight, "b"),
                                         run(1, 0, 0, "c")}));
    }

    void carriageReturnIsIgnored()
    {
        Surface s(800, 600);
        COMPARE_RUNS(s.write({"ab\r\ncd\r"}),
                     (QList<TPrintedRun>{run(0, 0, 0, "ab"), run(0, 0, s.lineHeight, "cd")}));
        COMPARE_RUNS(s.write({"a\rb"}),
                     (QList<TPrintedRun>{run(0, 0, 0, "a"), run(0, s.width("a"), 0, "b")}));
    }

    void emptyLineIsAsHighAsTheFont()
    {
        Surface s(800, 600);
        COMPARE_RUNS(s.write({"a\n\nb"}),
                     (QList<TPrintedRun>{run(0, 0, 0, "a"),
                                         run(0, 0, s.lineHeight + s.charHeight, "b")}));
    }

    // A new page begins once a new line would start lower than the page height less twice
    // the height of the line just finished.
    void newPageLeavesRoomForTwoLines()
    {
        Surface probe(10, 10);
        const int L = probe.lineHeight;
        Surface s(800, 5 * L + 1);
        COMPARE_RUNS(s.write({"1\n2\n3\n4\n5\n"}),
                     (QList<TPrintedRun>{run(0, 0, 0, "1"), run(0, 0, L, "2"),
                                         run(0, 0, 2 * L, "3"), run(0, 0, 3 * L, "4"),
                                         run(1, 0, 0, "5")}));
    }

    // An empty line counts 0 in that test: empty lines fill the page to its end.
    void emptyLinesFillThePageToItsEnd()
    {
        Surface probe(10, 10);
        const int h = probe.charHeight;
        Surface s(800, 3 * h + 1);
        COMPARE_RUNS(s.write({"\n\n\nx\n"}), (QList<TPrintedRun>{run(0, 0, 3 * h, "x")}));
        COMPARE_RUNS(s.write({"\n\n\n\nx\n"}), (QList<TPrintedRun>{run(1, 0, 0, "x")}));
    }

    // Every line is in the file, the copies one after the other, on as many pages as needed.
    void pdfHoldsEveryLine()
    {
        TestEnv env;
        QStringList lines;
        for (int i = 1; i <= 150; ++i)
            lines << QStringLiteral("line %1 of the text").arg(i);
        const QString file = env.path("out.pdf");
        {
            QPdfWriter pdf(file);
            QVERIFY(PrintLines(pdf, printFont(), int(lines.size()),
                               [&](int i) { return lines[i]; }, 2));
        }
        QString why;
        const std::optional<QString> text = pdfText(file, why);
        QVERIFY2(text, qPrintable(why));
        QStringList printed;
        for (const QString& l : text->split(QLatin1Char('\n')))
            if (!l.trimmed().isEmpty())
                printed << l.trimmed().remove(QLatin1Char('\f'));
        QCOMPARE(printed, lines + lines);
        QVERIFY2(text->count(QLatin1Char('\f')) >= 2, "one page only");
    }

    void unwritablePdfFails()
    {
        TestEnv env;
        QPdfWriter pdf(env.path("no such folder/out.pdf"));
        QVERIFY(!PrintLines(pdf, printFont(), 1, [](int) { return QStringLiteral("x"); }, 1));
    }
};

QTEST_MAIN(TestPrintLayout)
#include "tst_printlayout.moc"
