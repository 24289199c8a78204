// Reading compiler output: which lines mark a failed compile, which line
// number a double-click on an output line leads to, and how the captured
// bytes become list lines.
#include "editor/compilerlines.h"
#include "platform/errors.h"

#include <QtTest>

using namespace bp;

namespace {

const QString Doc = QStringLiteral("/tmp/jt/src dir/Two.java");

} // namespace

class TestCompilerLines : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void failureLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("failure");
        // Real javac 17 output.
        QTest::newRow("error line")
            << "/tmp/jt/src dir/Two.java:4: error: cannot find symbol" << true;
        QTest::newRow("one error") << "1 error" << true;
        QTest::newRow("two errors") << "2 errors" << true;
        QTest::newRow("source echo") << "        undefined();" << false;
        QTest::newRow("warning") << "/tmp/jt/src dir/Dep.java:3: warning: [removal] Integer(int) "
                                    "in Integer has been deprecated and marked for removal"
                                 << false;
        QTest::newRow("note") << "Note: Dep.java uses or overrides a deprecated API." << false;
        QTest::newRow("fatal") << "error: file not found: /tmp/gone/X.java" << true;
        QTest::newRow("usage") << "Usage: javac <options> <source files>" << false;
        // Constructed: the test wants the blank or the line's start, and is
        // case-sensitive.
        QTest::newRow("no blank") << "/tmp/x/errors.java:1: warning: x" << false;
        QTest::newRow("fatal, capital") << "Error: x" << false;
        QTest::newRow("capital") << "1 Error" << false;
        QTest::newRow("inside a word") << "a terror of a line" << false;
        QTest::newRow("empty") << "" << false;
    }
    void failureLine()
    {
        QFETCH(QString, line);
        QFETCH(bool, failure);
        QCOMPARE(IsCompileFailureLine(line), failure);
    }

    void lineNumberText_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("text");
        QTest::newRow("javac error")
            << "/tmp/jt/src dir/Two.java:4: error: cannot find symbol" << Doc << true << "4";
        QTest::newRow("message with colons") << "C:\\src\\Hello.java:12: Undefined variable: x"
                                             << "C:\\src\\Hello.java" << true << "12";
        QTest::newRow("count line") << "2 errors" << Doc << false << "";
        QTest::newRow("another file")
            << "/tmp/jt/src dir/Other.java:4: error: cannot find symbol" << Doc << false << "";
        QTest::newRow("case differs")
            << "/tmp/jt/src dir/two.java:4: error: x" << Doc << false << "";
        QTest::newRow("no second colon")
            << "/tmp/jt/src dir/Two.java:4 error" << Doc << false << "";
        QTest::newRow("not a number")
            << "/tmp/jt/src dir/Two.java:abc: error" << Doc << true << "abc";
        QTest::newRow("empty number") << "/tmp/jt/src dir/Two.java::x" << Doc << true << "";
        QTest::newRow("path inside the line")
            << "javac: /tmp/jt/src dir/Two.java:7: x" << Doc << true << "7";
    }
    void lineNumberText()
    {
        QFETCH(QString, line);
        QFETCH(QString, path);
        QFETCH(bool, found);
        QFETCH(QString, text);
        const std::optional<QString> got = CompilerLineNumberText(line, path);
        QCOMPARE(got.has_value(), found);
        if (found)
            QCOMPARE(*got, text);
    }

    void lineNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("number");
        QTest::newRow("plain") << "12" << true << 12;
        QTest::newRow("negative") << "-3" << true << -3;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("word") << "abc" << false << 0;
        QTest::newRow("two numbers") << "1 2" << false << 0;
        QTest::newRow("too large") << "99999999999" << false << 0;
    }
    void lineNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, number);
        try {
            QCOMPARE(CompilerLineNumber(text), number);
            QVERIFY(valid);
        } catch (const EBrewpadError& e) {
            QVERIFY(!valid);
            QCOMPARE(e.message(), QLatin1Char('\'') + text + "' is not a valid integer value");
        }
    }

    void outputLines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << QByteArray() << QStringList();
        QTest::newRow("lf") << QByteArray("a\nb\n") << QStringList{"a", "b"};
        QTest::newRow("crlf, no final end")
            << QByteArray("a\r\n\r\nb") << QStringList{"a", "", "b"};
        QTest::newRow("cr") << QByteArray("a\rb\r") << QStringList{"a", "b"};
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
