// Reading the compiler's output: what javac 17 printed for small broken and warning-only files
// (paths with a blank), as the compile captures it, and the rules on lines javac does not print.
#include "tools/compileroutput.h"

#include <QtTest>

using namespace bp;

namespace {

const QString Dir = QStringLiteral("/tmp/jx/a b/");
const QString NoInt = QStringLiteral("' is not a valid integer value");

// A jump as the tables write it: "-" nowhere, a line number, or the error's message.
QString shown(const TCompilerJump& jump)
{
    if (!jump.Error.isEmpty())
        return jump.Line ? QStringLiteral("both?") : jump.Error;
    return jump.Line ? QString::number(*jump.Line) : QStringLiteral("-");
}

} // namespace

class TestCompilerOutput : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Whole outputs: failed or not, the line selected first, and where each line leads.
    void javacOutput_data()
    {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QString>("document");
        QTest::addColumn<bool>("failed");
        QTest::addColumn<int>("first");
        QTest::addColumn<QStringList>("jumps");
        const QByteArray twoErrors =
            "/tmp/jx/a b/Two.java:3: error: incompatible types: String cannot be converted to int\n"
            "        int x = \"a\";\n"
            "                ^\n"
            "/tmp/jx/a b/Two.java:4: error: cannot find symbol\n"
            "        undefined();\n"
            "        ^\n"
            "  symbol:   method undefined()\n"
            "  location: class Two\n"
            "2 errors\n";
        QTest::newRow("two errors") << twoErrors << Dir + "Two.java" << true << 0
                                    << QStringList{"3", "-", "-", "4", "-", "-", "-", "-", "-"};
        QTest::newRow("deprecation note")
            << QByteArray("Note: /tmp/jx/a b/Dep.java uses or overrides a deprecated API.\n"
                          "Note: Recompile with -Xlint:deprecation for details.\n")
            << Dir + "Dep.java" << false << -1 << QStringList{"-", "-"};
        // A warning names a line too, but nothing is selected in a compile that succeeded.
        QTest::newRow("removal warning")
            << QByteArray("/tmp/jx/a b/Rem.java:1: warning: [removal] Integer(int) in Integer has "
                          "been deprecated and marked for removal\n"
                          "class Rem { Integer i = new Integer(5); }\n"
                          "                        ^\n"
                          "1 warning\n")
            << Dir + "Rem.java" << false << -1 << QStringList{"1", "-", "-", "-"};
        // UsesOne.java needs One.java, which has an error of its own.
        const QByteArray otherFile = "/tmp/jx/a b/One.java:2: error: illegal start of expression\n"
                                     "    int g() { return 2 * ; }\n"
                                     "                         ^\n"
                                     "/tmp/jx/a b/UsesOne.java:1: error: cannot find symbol\n"
                                     "class UsesOne { One o = new One(); int x = o.missing; }\n"
                                     "                                            ^\n"
                                     "  symbol:   variable missing\n"
                                     "  location: variable o of type One\n"
                                     "2 errors\n";
        QTest::newRow("another file's error first")
            << otherFile << Dir + "UsesOne.java" << true << 3
            << QStringList{"-", "-", "-", "1", "-", "-", "-", "-", "-"};
        QTest::newRow("the other file itself")
            << otherFile << Dir + "One.java" << true << 0
            << QStringList{"2", "-", "-", "-", "-", "-", "-", "-", "-"};
        // No count line, and the path at the end of the line leads nowhere.
        QTest::newRow("file not found")
            << QByteArray("error: file not found: /tmp/jx/a b/Nope.java\n"
                          "Usage: javac <options> <source files>\n"
                          "use --help for a list of possible options\n")
            << Dir + "Nope.java" << true << -1 << QStringList{"-", "-", "-"};
        // The first and the last error of 102 (the 490 lines between left out).
        QTest::newRow("too many errors")
            << QByteArray("/tmp/jx/a b/Many.java:3: error: cannot find symbol\n"
                          "        a1(); a2(); a3(); a4(); a5(); a6();\n"
                          "        ^\n"
                          "  symbol:   method a1()\n"
                          "  location: class Many\n"
                          "/tmp/jx/a b/Many.java:19: error: cannot find symbol\n"
                          "        a97(); a98(); a99(); a100(); a101(); a102();\n"
                          "                             ^\n"
                          "  symbol:   method a100()\n"
                          "  location: class Many\n"
                          "100 errors\n"
                          "only showing the first 100 errors, of 102 total; use -Xmaxerrs if you "
                          "would like to see more\n")
            << Dir + "Many.java" << true << 0
            << QStringList{"3", "-", "-", "-", "-", "19", "-", "-", "-", "-", "-", "-"};
        // A directory named "my errors" makes a mere note read as a failure.
        QTest::newRow("blank and errors in the path")
            << QByteArray("Note: /tmp/jx/my errors/Dep.java uses or overrides a deprecated API.\n"
                          "Note: Recompile with -Xlint:deprecation for details.\n")
            << "/tmp/jx/my errors/Dep.java" << true << -1 << QStringList{"-", "-"};
        // The path must match as given: javac run on the bare name names no full path.
        QTest::newRow("relative path")
            << QByteArray("Two.java:3: error: incompatible types: String cannot be converted to "
                          "int\n")
            << Dir + "Two.java" << true << -1 << QStringList{"-"};
        QTest::newRow("utf-8 name")
            << QByteArray("/tmp/jx/a b/Caf\xc3\xa9.java:1: error: illegal start of expression\n"
                          "class Caf\xc3\xa9 { int x = ; }\n"
                          "                     ^\n"
                          "1 error\n")
            << Dir + u"Café.java"_qs << true << 0 << QStringList{"1", "-", "-", "-"};
    }
    void javacOutput()
    {
        QFETCH(QByteArray, output);
        QFETCH(QString, document);
        QFETCH(bool, failed);
        QFETCH(int, first);
        QFETCH(QStringList, jumps);
        const QStringList lines = CompilerOutputLines(output);
        QCOMPARE(lines.size(), jumps.size());
        const TCompilerOutputAnalysis analysis = AnalyseCompilerOutput(lines, document);
        QCOMPARE(analysis.Failed(), failed);
        QCOMPARE(analysis.FirstSelected(), qsizetype(first));
        QCOMPARE(analysis.LineCount(), lines.size());
        QStringList got;
        for (qsizetype i = 0; i < lines.size(); ++i)
            got << shown(analysis.Jump(i));
        QCOMPARE(got, jumps);
    }

    // Lines javac does not print, for the rules' edges.
    void lineRules_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("failure");
        QTest::addColumn<QString>("jump");
        const QString doc = Dir + "Two.java";
        QTest::newRow("fatal at the start") << "error: invalid flag: -x" << true << "-";
        QTest::newRow("capital E") << "/j/errors.java:1: Error" << false << "-";
        QTest::newRow("case differs") << Dir + "two.java:4: error" << true << "-";
        QTest::newRow("path inside") << "x: " + doc + ":12: y" << false << "12";
        QTest::newRow("first mention counts") << doc + ":7: " + doc + ":8:" << false << "7";
        QTest::newRow("no second colon") << doc + ":4 error" << true << "-";
        QTest::newRow("blanks and sign") << doc + ": -5 : x" << false << "-5";
        QTest::newRow("not a number") << doc + ":abc: error" << true << "'abc" + NoInt;
        QTest::newRow("empty number") << doc + "::x" << false << "'" + NoInt;
        QTest::newRow("too large") << doc + ":99999999999:" << false << "'99999999999" + NoInt;
    }
    void lineRules()
    {
        QFETCH(QString, line);
        QFETCH(bool, failure);
        QFETCH(QString, jump);
        QCOMPARE(IsCompileFailureLine(line), failure);
        QCOMPARE(shown(CompilerJump(line, Dir + "Two.java")), jump);
    }
};

QTEST_GUILESS_MAIN(TestCompilerOutput)
#include "tst_compileroutput.moc"
