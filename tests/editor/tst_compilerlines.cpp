// Reading compiler output: which lines mark a failed compile, where a
// double-click on an output line leads, and how the captured bytes become lines.
#include "editor/compilerlines.h"
#include "platform/errors.h"

#include <QtTest>

using namespace bp;

const QString Doc = QStringLiteral("/j/a b/Two.java");

class TestCompilerLines : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // One output line: whether it marks a failed compile, whether it names
    // the document, and then the line a double-click leads to or the text it
    // reports as no integer. Real javac 17 lines first, then constructed ones.
    void outputLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("failure");
        QTest::addColumn<bool>("found");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("badText");
        QTest::newRow("error") << Doc + ":4: error: cannot find symbol" << true << true << 4 << "";
        QTest::newRow("warning") << Doc + ":3: warning: [removal] x" << false << true << 3 << "";
        QTest::newRow("count line") << "2 errors" << true << false << 0 << "";
        QTest::newRow("fatal") << "error: file not found: " + Doc << true << false << 0 << "";
        QTest::newRow("note") << "Note: Two.java uses a deprecated" << false << false << 0 << "";
        QTest::newRow("another file") << "/j/a b/One.java:4: error: x" << true << false << 0 << "";
        QTest::newRow("case differs") << "/j/a b/two.java:4: x" << false << false << 0 << "";
        QTest::newRow("capital") << "/j/errors.java:1: Error" << false << false << 0 << "";
        QTest::newRow("inside") << "x: " + Doc + ":12: y: z" << false << true << 12 << "";
        QTest::newRow("no second colon") << Doc + ":4 error" << true << false << 0 << "";
        QTest::newRow("not a number") << Doc + ":abc: error" << true << true << 0 << "abc";
        QTest::newRow("empty number") << Doc + "::x" << false << true << 0 << "";
        QTest::newRow("too large") << Doc + ":99999999999:" << false << true << 0 << "99999999999";
    }
    void outputLine()
    {
        QFETCH(QString, line);
        QFETCH(bool, failure);
        QFETCH(bool, found);
        QFETCH(int, number);
        QFETCH(QString, badText);
        QCOMPARE(IsCompileFailureLine(line), failure);
        const std::optional<QString> text = CompilerLineNumberText(line, Doc);
        QCOMPARE(text.has_value(), found);
        if (!found)
            return;
        try {
            QCOMPARE(CompilerLineNumber(*text), number);
            QVERIFY(number != 0);
        } catch (const EBrewpadError& e) {
            QCOMPARE(number, 0);
            QCOMPARE(e.message(), "'" + badText + "' is not a valid integer value");
        }
    }

    void outputLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << QByteArray() << QStringList();
        QTest::newRow("crlf, no final end")
            << QByteArray("a\r\n\r\nb") << QStringList{"a", "", "b"};
        QTest::newRow("lf, cr") << QByteArray("a\nb\rc\r") << QStringList{"a", "b", "c"};
        QTest::newRow("one line end") << QByteArray("\n") << QStringList{""};
        QTest::newRow("utf-8") << QByteArray("caf\xc3\xa9\n") << QStringList{u"café"_qs};
        QTest::newRow("latin-1") << QByteArray("caf\xe9\n") << QStringList{u"café"_qs};
    }
    void outputLines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QCOMPARE(CompilerOutputLines(bytes), lines);
    }
};

QTEST_GUILESS_MAIN(TestCompilerLines)
#include "tst_compilerlines.moc"
