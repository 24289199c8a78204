#include "editor/compilerlines.h"
#include "platform/errors.h"

#include <QtTest>

using namespace bp;

const QString Doc = QStringLiteral("/j/a b/Two.java");
const QString NoInt = QStringLiteral("' is not a valid integer value");

class TestCompilerLines : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Whether an output line marks a failed compile, and where a double-click on it leads
    // (null: nowhere). Real javac 17 lines first, then constructed ones.
    void outputLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("failure");
        QTest::addColumn<QString>("jump");
        QTest::newRow("error") << Doc + ":4: error: cannot find symbol" << true << "4";
        QTest::newRow("warning") << Doc + ":3: warning: [removal] x" << false << "3";
        QTest::newRow("count line") << "2 errors" << true << QString();
        QTest::newRow("fatal") << "error: file not found: " + Doc << true << QString();
        QTest::newRow("note") << "Note: Two.java uses a deprecated" << false << QString();
        QTest::newRow("another file") << "/j/a b/One.java:4: error: x" << true << QString();
        QTest::newRow("case differs") << "/j/a b/two.java:4: x" << false << QString();
        QTest::newRow("capital") << "/j/errors.java:1: Error" << false << QString();
        QTest::newRow("inside") << "x: " + Doc + ":12: y: z" << false << "12";
        QTest::newRow("no second colon") << Doc + ":4 error" << true << QString();
        QTest::newRow("not a number") << Doc + ":abc: error" << true << "'abc" + NoInt;
        QTest::newRow("empty number") << Doc + "::x" << false << "'" + NoInt;
        QTest::newRow("too large") << Doc + ":99999999999:" << false << "'99999999999" + NoInt;
    }
    void outputLine()
    {
        QFETCH(QString, line);
        QFETCH(bool, failure);
        QFETCH(QString, jump);
        QCOMPARE(IsCompileFailureLine(line), failure);
        const std::optional<QString> text = CompilerLineNumberText(line, Doc);
        try {
            QCOMPARE(text ? QString::number(CompilerLineNumber(*text)) : QString(), jump);
        } catch (const EBrewpadError& e) {
            QCOMPARE(e.message(), jump);
        }
    }

    // Captured bytes become lines: UTF-8 or else Latin-1, split at CR LF, LF or CR.
    void outputLines()
    {
        const std::pair<QByteArray, QStringList> cases[] = {
            {"", {}},     {"a\r\n\r\nb", {"a", "", "b"}},  {"a\nb\rc\r", {"a", "b", "c"}},
            {"\n", {""}}, {"caf\xc3\xa9\n", {u"café"_qs}}, {"caf\xe9\n", {u"café"_qs}}};
        for (const auto& [bytes, lines] : cases)
            QCOMPARE(CompilerOutputLines(bytes), lines);
    }
};

QTEST_GUILESS_MAIN(TestCompilerLines)
#include "tst_compilerlines.moc"
