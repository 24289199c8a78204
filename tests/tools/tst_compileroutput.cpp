// Reading the compiler's output: what javac 17 printed for small broken and warning-only files
// (paths with a blank), as the compile captures it, and the rules on lines javac does not print.
#include "tools/compileroutput.h"

#include <QtTest>

using namespace bp;

namespace {

const QString Dir = QStringLiteral("/tmp/jx/a b/");
const QString NoInt = QStringLiteral("' is not a valid integer value");

// A jump as the tables write it: "-" nowhere, a line number of the document, "<path>:<line>" of
// another file, or the error's message.
QString shown(const TCompilerJump& jump)
{
    if (!jump.Error.isEmpty())
        return jump.Line || !jump.File.isEmpty() ? QStringLiteral("both?") : jump.Error;
    if (!jump.Line)
        return jump.File.isEmpty() ? QStringLiteral("-") : QStringLiteral("file only?");
    const QString number = QString::number(*jump.Line);
    return jump.File.isEmpty() ? number : jump.File + u':' + number;
}

// The tables' exit statuses: 0 a clean exit, 1 a failed or killed compiler, -1 not known.
std::optional<bool> exitStatus(int code)
{
    return code < 0 ? std::nullopt : std::optional<bool>(code == 0);
}

QString numbers(const QList<int>& list)
{
    QStringList texts;
    for (int n : list)
        texts << QString::number(n);
    return texts.join(u',');
}

} // namespace

class TestCompilerOutput : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Whole outputs with the compiler's exit status: failed or not, the line selected first, the
    // document's error lines, and where each line leads.
    void javacOutput_data()
    {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QString>("document");
        QTest::addColumn<int>("exit"); // see exitStatus
        QTest::addColumn<bool>("failed");
        QTest::addColumn<int>("first");
        QTest::addColumn<QString>("errorLines");
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
        for (int exit : {1, -1})
            QTest::addRow("two errors, exit %d", exit)
                << twoErrors << Dir + "Two.java" << exit << true << 0 << "3,4"
                << QStringList{"3", "-", "-", "4", "-", "-", "-", "-", "-"};
        QTest::newRow("deprecation note")
            << QByteArray("Note: /tmp/jx/a b/Dep.java uses or overrides a deprecated API.\n"
                          "Note: Recompile with -Xlint:deprecation for details.\n")
            << Dir + "Dep.java" << 0 << false << -1 << "" << QStringList{"-", "-"};
        // A warning names a line too, but nothing is selected in a compile that succeeded,
        // also when the echoed line says " error".
        const QByteArray removal =
            "/tmp/jx/a b/Rem.java:1: warning: [removal] Integer(int) in Integer has been "
            "deprecated and marked for removal\n"
            "class Rem { Integer i = new Integer(5); } // no error here\n"
            "                        ^\n"
            "1 warning\n";
        QTest::newRow("removal warning, clean exit") << removal << Dir + "Rem.java" << 0 << false
                                                     << -1 << "" << QStringList{"1", "-", "-", "-"};
        // Without the status the echoed comment reads as a failure: the warning is selected.
        QTest::newRow("removal warning, status unknown")
            << removal << Dir + "Rem.java" << -1 << true << 0 << ""
            << QStringList{"1", "-", "-", "-"};
        // The document's error comes after a warning of its own and another file's error.
        QTest::newRow("first error after a warning")
            << QByteArray("/tmp/jx/a b/Uses.java:2: warning: [removal] Integer(int) in Integer "
                          "has been deprecated and marked for removal\n"
                          "    Integer i = new Integer(5);\n"
                          "                ^\n"
                          "./Other.java:2: error: illegal start of expression\n"
                          "    int g() { return 2 * ; }\n"
                          "                         ^\n"
                          "/tmp/jx/a b/Uses.java:4: error: incompatible types: String cannot be "
                          "converted to int\n"
                          "    int x = \"a\";\n"
                          "            ^\n"
                          "2 errors\n"
                          "1 warning\n")
            << Dir + "Uses.java" << 1 << true << 6 << "4"
            << QStringList{"2", "-", "-", Dir + "Other.java:2", "-", "-", "4", "-", "-", "-", "-"};
        // -Werror: the warnings are what failed the compile.
        QTest::newRow("warnings fail the compile")
            << QByteArray("/tmp/jx/a b/Rem.java:1: warning: [removal] Integer(int) in Integer "
                          "has been deprecated and marked for removal\n"
                          "class Rem { Integer i = new Integer(5); }\n"
                          "                        ^\n"
                          "error: warnings found and -Werror specified\n"
                          "1 error\n"
                          "1 warning\n")
            << Dir + "Rem.java" << 1 << true << 0 << ""
            << QStringList{"1", "-", "-", "-", "-", "-"};
        // UsesOne.java needs One.java, which has an error of its own.
        const QByteArray otherFile = "./One.java:2: error: illegal start of expression\n"
                                     "    int g() { return 2 * ; }\n"
                                     "                         ^\n"
                                     "/tmp/jx/a b/UsesOne.java:1: error: cannot find symbol\n"
                                     "class UsesOne { One o = new One(); int x = o.missing; }\n"
                                     "                                            ^\n"
                                     "  symbol:   variable missing\n"
                                     "  location: variable o of type One\n"
                                     "2 errors\n";
        QTest::newRow("another file's error first")
            << otherFile << Dir + "UsesOne.java" << 1 << true << 3 << "1"
            << QStringList{Dir + "One.java:2", "-", "-", "1", "-", "-", "-", "-", "-"};
        // Named from the directory the compiler ran in, the document is itself again.
        QTest::newRow("the other file itself")
            << otherFile << Dir + "One.java" << 1 << true << 0 << "2"
            << QStringList{"2", "-", "-", Dir + "UsesOne.java:1", "-", "-", "-", "-", "-"};
        QTest::newRow("other files below, above and elsewhere")
            << QByteArray("./sub/P.java:2: error: incompatible types: missing return value\n"
                          "../lib/Q.java:7: warning: [serial] serializable class Q has no "
                          "definition of serialVersionUID\n"
                          "/x/y/Other.java:2: error: cannot find symbol\n"
                          "Bare.java:12: error: ';' expected\n"
                          "4 errors\n")
            << Dir + "Two.java" << 1 << true << -1 << ""
            << QStringList{Dir + "sub/P.java:2", "/tmp/jx/lib/Q.java:7", "/x/y/Other.java:2",
                           Dir + "Bare.java:12", "-"};
        QTest::newRow("the document's bare name")
            << QByteArray("Two.java:3: error: incompatible types: String cannot be converted to "
                          "int\n")
            << Dir + "Two.java" << 1 << true << 0 << "3" << QStringList{"3"};
        // No count line, and the path at the end of the line leads nowhere.
        QTest::newRow("file not found")
            << QByteArray("error: file not found: /tmp/jx/a b/Nope.java\n"
                          "Usage: javac <options> <source files>\n"
                          "use --help for a list of possible options\n")
            << Dir + "Nope.java" << 2 << true << -1 << "" << QStringList{"-", "-", "-"};
        // A German JDK: no " error" anywhere, only the exit status tells.
        QTest::newRow("translated messages")
            << QByteArray("/tmp/jx/a b/Two.java:3: Fehler: Inkompatible Typen: String kann nicht "
                          "in int konvertiert werden\n"
                          "        int x = \"a\";\n"
                          "                ^\n"
                          "1 Fehler\n")
            << Dir + "Two.java" << 1 << true << 0 << "3" << QStringList{"3", "-", "-", "-"};
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
            << Dir + "Many.java" << 1 << true << 0 << "3,19"
            << QStringList{"3", "-", "-", "-", "-", "19", "-", "-", "-", "-", "-", "-"};
        QTest::newRow("utf-8 name")
            << QByteArray("/tmp/jx/a b/Caf\xc3\xa9.java:1: error: illegal start of expression\n"
                          "class Caf\xc3\xa9 { int x = ; }\n"
                          "                     ^\n"
                          "1 error\n")
            << Dir + u"Café.java"_qs << 1 << true << 0 << "1" << QStringList{"1", "-", "-", "-"};
    }
    void javacOutput()
    {
        QFETCH(QByteArray, output);
        QFETCH(QString, document);
        QFETCH(int, exit);
        QFETCH(bool, failed);
        QFETCH(int, first);
        QFETCH(QString, errorLines);
        QFETCH(QStringList, jumps);
        const QStringList lines = CompilerOutputLines(output);
        QCOMPARE(lines.size(), jumps.size());
        const TCompilerOutputAnalysis analysis =
            AnalyseCompilerOutput(lines, document, exitStatus(exit));
        QCOMPARE(analysis.Failed(), failed);
        QCOMPARE(analysis.FirstSelected(), qsizetype(first));
        QCOMPARE(numbers(analysis.ErrorLineNumbers()), errorLines);
        QCOMPARE(analysis.LineCount(), lines.size());
        QStringList got;
        for (qsizetype i = 0; i < lines.size(); ++i)
            got << shown(analysis.Jump(i));
        QCOMPARE(got, jumps);
    }

    // A known exit status decides alone: a clean exit succeeded and any other failed, whatever
    // the text; only an unknown one leaves it to " error" in the text.
    void exitStatusDecides_data()
    {
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<bool>("failedByText");
        QTest::newRow("echoed comment")
            << QByteArray("/tmp/jx/a b/Two.java:1: warning: [removal] Integer(int) in Integer has "
                          "been deprecated and marked for removal\n"
                          "class Two { Integer i = new Integer(5); } // no error here\n"
                          "                        ^\n"
                          "1 warning\n")
            << true;
        QTest::newRow("folder in a note")
            << QByteArray("Note: /tmp/compile error demos/Two.java uses or overrides a deprecated "
                          "API.\n"
                          "Note: Recompile with -Xlint:deprecation for details.\n")
            << true;
        QTest::newRow("translated error")
            << QByteArray("/tmp/jx/a b/Two.java:3: Fehler: Inkompatible Typen\n1 Fehler\n")
            << false;
        QTest::newRow("JVM cannot start")
            << QByteArray("Error occurred during initialization of VM\n"
                          "Could not reserve enough space for object heap\n")
            << false;
        QTest::newRow("javac's error")
            << QByteArray("Two.java:3: error: ';' expected\n1 error\n") << true;
        QTest::newRow("fatal message") << QByteArray("error: invalid flag: -x\n") << true;
        QTest::newRow("no output") << QByteArray() << false;
    }
    void exitStatusDecides()
    {
        QFETCH(QByteArray, output);
        QFETCH(bool, failedByText);
        const QStringList lines = CompilerOutputLines(output);
        const QString document = Dir + "Two.java";
        QCOMPARE(AnalyseCompilerOutput(lines, document, true).Failed(), false);
        QCOMPARE(AnalyseCompilerOutput(lines, document, false).Failed(), true);
        QCOMPARE(AnalyseCompilerOutput(lines, document, std::nullopt).Failed(), failedByText);
        QCOMPARE(AnalyseCompilerOutput(lines, document).Failed(), failedByText);
    }

    // Lines javac does not print, for the rules' edges.
    void lineRules_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("failure");
        QTest::addColumn<QString>("jump");
        const QString doc = Dir + "Two.java";
        QTest::newRow("fatal at the start") << "error: invalid flag: -x" << true << "-";
        QTest::newRow("capital E") << "/j/errors.java:1: Error" << false << "/j/errors.java:1";
        // Another file on Linux, where paths compare exactly.
        QTest::newRow("case differs") << Dir + "two.java:4: error" << true << Dir + "two.java:4";
        QTest::newRow("path inside") << "x: " + doc + ":12: y" << false << "12";
        QTest::newRow("first mention counts") << doc + ":7: " + doc + ":8:" << false << "7";
        QTest::newRow("no second colon") << doc + ":4 error" << true << "-";
        QTest::newRow("blanks and sign") << doc + ": -5 : x" << false << "-5";
        QTest::newRow("not a number") << doc + ":abc: error" << true << "'abc" + NoInt;
        QTest::newRow("empty number") << doc + "::x" << false << "'" + NoInt;
        QTest::newRow("too large") << doc + ":99999999999:" << false << "'99999999999" + NoInt;
        // Lines naming another source at their start.
        QTest::newRow("other file") << "Other.java:2: error: x" << true << Dir + "Other.java:2";
        QTest::newRow("other file's large number")
            << "./Other.java:99999999999: x" << false << "'99999999999" + NoInt;
        QTest::newRow("indented echo") << "    Other.java:2: error: x" << true << "-";
        QTest::newRow("no number") << "Other.java:x: error: y" << true << "-";
        QTest::newRow("number without colon") << "Other.java:2 x" << false << "-";
        QTest::newRow("not a Java source") << "Other.txt:2: x" << false << "-";
        QTest::newRow("later path with a number")
            << "a.java:b.java:4: x" << false << Dir + "a.java:b.java:4";
        QTest::newRow("document by another spelling") << "./sub/../Two.java:5: y" << false << "5";
    }
    void lineRules()
    {
        QFETCH(QString, line);
        QFETCH(bool, failure);
        QFETCH(QString, jump);
        QCOMPARE(IsCompileFailureLine(line), failure);
        QCOMPARE(shown(CompilerJump(line, Dir + "Two.java")), jump);
    }

    // A document without a path (never saved) is named by no line, and no other file is
    // resolved against a directory it does not have.
    void documentWithoutPathLeadsNowhere()
    {
        for (const QString& line : {u"Two.java:3: error: x"_qs, u":3: error: x"_qs, u"x:3:"_qs})
            QCOMPARE(shown(CompilerJump(line, QString())), "-");
        const TCompilerOutputAnalysis analysis =
            AnalyseCompilerOutput({"Two.java:3: error: x", "1 error"}, QString(), false);
        QCOMPARE(analysis.FirstSelected(), qsizetype(-1));
    }
};

QTEST_GUILESS_MAIN(TestCompilerOutput)
#include "tst_compileroutput.moc"
