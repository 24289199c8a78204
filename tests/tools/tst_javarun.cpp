// Running Java programs: which class runs from where, the terminal it runs in, and the script
// that keeps the terminal open.
#include "tools/javarun.h"

#include "support/fakeprograms.h"
#include "support/testenv.h"

#include <QProcess>
#include <QtTest>

using namespace bp;
using namespace bp::test;

class TestJavaRun : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The class named after the file without its extension, in its package, from its class
    // root, with the project's class path after the root.
    void classAndRoot_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("package");
        QTest::addColumn<QString>("sourceRoot");
        QTest::addColumn<QString>("outputDir");
        QTest::addColumn<QString>("classPath");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("workingDir");
        QTest::newRow("no package") << "Applet1.java" << "" << "" << "" << ""
                                    << QStringList{"-classpath", "/src/app", "Applet1"}
                                    << "/src/app";
        QTest::newRow("other extension") << "Hello.htm" << "" << "" << "" << ""
                                         << QStringList{"-classpath", "/src/app", "Hello"}
                                         << "/src/app";
        QTest::newRow("package") << "Hello.java" << "com.acme" << "/src" << "" << ""
                                 << QStringList{"-classpath", "/src", "com.acme.Hello"} << "/src";
        QTest::newRow("output folder and class path")
            << "Hello.java" << "com.acme" << "/src" << "/proj/out" << "/proj/lib/a.jar:/opt/b"
            << QStringList{"-classpath", "/proj/out:/proj/lib/a.jar:/opt/b", "com.acme.Hello"}
            << "/proj/out";
        QTest::newRow("class path, no output folder")
            << "Hello.java" << "" << "" << "" << "/proj/lib"
            << QStringList{"-classpath", "/src/app:/proj/lib", "Hello"} << "/src/app";
        QTest::newRow("never saved") << "" << "a" << "" << "" << ""
                                     << QStringList{"-classpath", "/src/app"} << "/src/app";
    }
    void classAndRoot()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, package);
        QFETCH(QString, sourceRoot);
        QFETCH(QString, outputDir);
        QFETCH(QString, classPath);
        QFETCH(QStringList, arguments);
        QFETCH(QString, workingDir);
        TJavacOptions options;
        options.SourceRoot = sourceRoot;
        options.OutputDir = outputDir;
        options.ClassPath = classPath;
        const TJavaRun run = JavaRunFor("/src/app/", fileName, package, options);
        QCOMPARE(run.Arguments, arguments);
        QCOMPARE(run.WorkingDir, workingDir);
    }

    // Each terminal gets the option that takes the command as separate words.
    void terminalArguments_data()
    {
        QTest::addColumn<QString>("terminal");
        QTest::addColumn<QString>("option");
        QTest::newRow("x-terminal-emulator") << "/usr/bin/x-terminal-emulator" << "-e";
        QTest::newRow("xterm") << "/usr/bin/xterm" << "-e";
        QTest::newRow("konsole") << "/usr/bin/konsole" << "-e";
        QTest::newRow("gnome-terminal") << "/usr/bin/gnome-terminal" << "--";
        QTest::newRow("xfce4-terminal") << "/usr/bin/xfce4-terminal" << "-x";
    }
    void terminalArguments()
    {
        QFETCH(QString, terminal);
        QFETCH(QString, option);
        QCOMPARE(TerminalArguments(terminal, "/k/keep", "/jdk/java", {"-cp", "a b", "Main"}),
                 (QStringList{option, "/k/keep", "/jdk/java", "-cp", "a b", "Main"}));
        QCOMPARE(TerminalArguments(terminal, "", "/jdk/java", {"Main"}),
                 (QStringList{option, "/jdk/java", "Main"}));
    }

    // The first terminal found on PATH runs the keeper script with the program and its words,
    // in the given folder.
    void startsInTheFirstTerminalOnPath()
    {
        TestEnv env;
        writeRecorder(env.path("bin"), "xterm");
        writeRecorder(env.path("bin"), "x-terminal-emulator");
        PathFirst path(env.path("bin"));
        QDir().mkpath(env.path("run dir"));
        recordInto(env.path("terminal.rec"));
        QVERIFY(StartInTerminal("/jdk/java", {"$HOME", "a;b"}, env.path("run dir")));
        QTRY_VERIFY(QFile::exists(env.path("terminal.rec")));
        const QString keeper = ConsoleKeeperPath();
        QVERIFY(!keeper.isEmpty());
        QCOMPARE(readRecord(env.path("terminal.rec")),
                 (QStringList{env.path("run dir"), "-e", keeper, "/jdk/java", "$HOME", "a;b"}));
    }

    // Without any terminal on PATH nothing can start.
    void noTerminalNoStart()
    {
        TestEnv env;
        QDir().mkpath(env.path("empty"));
        const QByteArray old = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(env.path("empty")));
        const QString found = FindTerminal();
        const bool started = StartInTerminal("/jdk/java", {"Main"});
        qputenv("PATH", old);
        QCOMPARE(found, QString());
        QVERIFY(!started);
    }

    // The keeper runs the program with its words as given, then shows the exit status and
    // waits for Enter before it ends.
    void keeperShowsTheExitStatusAndWaits()
    {
        TestEnv env;
        const QString program =
            env.writeFile("prog", "#!/bin/sh\nprintf '[%s]' \"$@\"; echo; exit 3\n");
        QFile(program).setPermissions(QFile(program).permissions() | QFileDevice::ExeOwner);
        QProcess keeper;
        keeper.start(ConsoleKeeperPath(), {program, "$HOME", "a b", ";", "`id`"});
        QVERIFY(keeper.waitForStarted());
        // It waits for a line before it ends.
        QTRY_VERIFY(QString::fromUtf8(keeper.peek(4096)).contains("Press Enter to close."));
        QCOMPARE(keeper.state(), QProcess::Running);
        keeper.write("\n");
        QVERIFY(keeper.waitForFinished());
        QCOMPARE(QString::fromUtf8(keeper.readAllStandardOutput()),
                 "[$HOME][a b][;][`id`]\n\nProgram ended with exit status 3. Press Enter to close.\n");
        QCOMPARE(keeper.exitCode(), 3);
    }
};

QTEST_GUILESS_MAIN(TestJavaRun)
#include "tst_javarun.moc"
