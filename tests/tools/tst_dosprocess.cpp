// The process runner, with the shell and small scripts as tools.
#include "tools/dosprocess.h"

#include "support/testenv.h"

#include <QtTest>

#include <sys/resource.h>

#include <csignal>

using namespace bp;
using bp::test::TestEnv;

namespace {

// Starts a tool and returns once the runner has reported its end.
bool runToEnd(TDosProcess& p, const QString& program, const QStringList& args, const QString& dir)
{
    QSignalSpy ended(&p, &TDosProcess::finished);
    p.start(program, args, dir);
    return ended.wait(60000) && ended.size() == 1;
}

} // namespace

class TestDosProcess : public QObject {
    Q_OBJECT

private slots:
    // Everything printed reaches the capture file; how the tool ended comes with it.
    void capturesWhole_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<bool>("crashed");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("prints nothing") << ":" << QByteArray() << false << 0;
        QTest::newRow("stdout only")
            << "printf 'out\\nput\\n'" << QByteArray("out\nput\n") << false << 0;
        QTest::newRow("stderr only")
            << "printf 'err\\r\\n' >&2" << QByteArray("err\r\n") << false << 0;
        QTest::newRow("merged in order")
            << "printf 1; printf 2 >&2; printf 3" << QByteArray("123") << false << 0;
        QTest::newRow("binary") << "/usr/bin/printf 'a\\000\\377'" << QByteArray("a\0\xff", 3)
                                << false << 0;
        QByteArray lines; // far more than a pipe or a write block holds, every line distinct
        for (int i = 1; i <= 100000; ++i)
            lines += QByteArray::number(i) + '\n';
        QTest::newRow("many blocks") << "seq 100000" << lines << false << 0;
        QTest::newRow("stdin closed")
            << "timeout 20 cat; echo rc=$?" << QByteArray("rc=0\n") << false << 0;
        QTest::newRow("exit code") << "printf x; exit 3" << QByteArray("x") << false << 3;
        QTest::newRow("crash keeps output")
            << "printf x; kill -SEGV $$" << QByteArray("x") << true << 0;
        QTest::newRow("killed by a signal")
            << "printf y; kill -KILL $$" << QByteArray("y") << true << 0;
    }
    void capturesWhole()
    {
        QFETCH(QString, script);
        QFETCH(QByteArray, expected);
        QFETCH(bool, crashed);
        QFETCH(int, exitCode);
        TestEnv env;
        TDosProcess p;
        // The runner itself never uses a shell; the tests use one as a handy tool.
        QVERIFY(runToEnd(p, "/bin/sh", {"-c", script}, env.dir()));
        QCOMPARE(p.error(), QString());
        QVERIFY(p.toolEnd().has_value());
        QCOMPARE(p.toolEnd()->Crashed, crashed);
        if (!crashed)
            QCOMPARE(p.toolEnd()->ExitCode, exitCode);
        QCOMPARE(p.toolEnd()->Clean(), !crashed && exitCode == 0);
        const QString file = p.takeOutputFile();
        QVERIFY(QFileInfo(file).isFile());
        QCOMPARE(TestEnv::readFile(file), expected);
        QFile::remove(file);
    }

    // The runner's own failures: its error, after start() returned, no file left behind, the
    // tool never run.
    void failures()
    {
        TestEnv env;
        env.writeFile("plain.txt", "touch ran\n");
        const auto errorOf = [](QString program, QString dir, QString script) {
            TDosProcess p;
            bool returned = false;
            bool endedBeforeReturn = false;
            QObject::connect(&p, &TDosProcess::finished, [&] { endedBeforeReturn = !returned; });
            QSignalSpy ended(&p, &TDosProcess::finished);
            p.start(program, {"-c", script}, dir);
            returned = true;
            if (!ended.wait(60000) || endedBeforeReturn)
                return QStringLiteral("(no proper end)");
            return p.error();
        };
        for (const char* program : {"/nonexistent/tool", "no-such-tool", "./plain.txt", ""})
            QCOMPARE(errorOf(program, env.dir(), "touch ran"), "Create process failed");
        QCOMPARE(errorOf("/bin/sh", env.path("no/dir"), "touch ran"), "no input file");
        QVERIFY(!QFileInfo::exists("ran")); // env.dir() is the current directory
        QCOMPARE(QDir(env.dir()).entryList({"bpd*"}, QDir::Files), QStringList());

        // A capture file that cannot grow (a size limit) must not pass for the whole output.
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{64 * 1024, old.rlim_max};
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const QString error = errorOf("/bin/sh", env.dir(), "seq 100000");
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY2(error.startsWith("Couldn't write the output"), qPrintable(error));
        QCOMPARE(QDir(env.dir()).entryList({"bpd*"}, QDir::Files), QStringList());
    }

    // start() returns while the tool runs: the tool waits for a file that the test makes only
    // after start() has returned. Each run gets its own file in the tool's directory; a quoted
    // program path is one argument.
    void runsWithoutWaiting()
    {
        TestEnv env;
        const QString tool = env.path("work dir/the shell");
        const QString dir = QFileInfo(tool).path();
        QVERIFY(QDir().mkpath(dir) && QFile::link("/bin/sh", tool));
        TDosProcess first;
        QSignalSpy firstEnded(&first, &TDosProcess::finished);
        first.start("/bin/sh", {"-c", TestEnv::waitForFile(dir + "/go") + "echo went; pwd"}, dir);
        QVERIFY(first.isRunning());
        QCOMPARE(firstEnded.size(), 0);
        env.writeFile("work dir/go", "");
        QVERIFY(firstEnded.wait(60000));
        QVERIFY(!first.isRunning());

        TDosProcess second;
        QSignalSpy secondEnded(&second, &TDosProcess::finished);
        second.start("\"" + tool + "\" -c \"pwd\"", dir);
        QVERIFY(secondEnded.wait(60000));
        QCOMPARE(QDir(dir).entryList({"bpd*"}, QDir::Files).size(), 2);
        const QString real = QFileInfo(dir).canonicalFilePath();
        QCOMPARE(TestEnv::readFile(first.takeOutputFile()),
                 "went\n" + QFile::encodeName(real) + "\n");
        QCOMPARE(TestEnv::readFile(second.takeOutputFile()), QFile::encodeName(real) + "\n");
    }

    // stop() ends a tool that would never end: finished() has come when it returns, with the
    // output printed so far and a killed tool.
    void stopKeepsTheOutputSoFar()
    {
        TestEnv env;
        TDosProcess p;
        QSignalSpy ended(&p, &TDosProcess::finished);
        p.start("/bin/sh", {"-c", "echo before; touch started; while :; do sleep 0.02; done"},
                env.dir());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(env.path("started")), 60000);
        p.stop();
        QCOMPARE(ended.size(), 1);
        QCOMPARE(p.error(), QString());
        QVERIFY(p.toolEnd() && p.toolEnd()->Crashed && !p.toolEnd()->Clean());
        const QString file = p.takeOutputFile();
        QCOMPARE(TestEnv::readFile(file), QByteArray("before\n"));
        QFile::remove(file);
        p.stop(); // nothing left to stop
        QCOMPARE(ended.size(), 1);
    }

    // A runner destroyed while its tool runs kills it and deletes its capture file.
    void destroyedWhileRunning()
    {
        TestEnv env;
        qint64 pid = 0;
        {
            TDosProcess p;
            p.start("/bin/sh", {"-c", "echo $$ > pid; while :; do sleep 0.02; done"}, env.dir());
            QTRY_VERIFY_WITH_TIMEOUT(TestEnv::readFile(env.path("pid")).endsWith('\n'), 60000);
            pid = TestEnv::readFile(env.path("pid")).trimmed().toLongLong();
            QVERIFY(pid > 0);
        }
        QCOMPARE(QDir(env.dir()).entryList({"bpd*"}, QDir::Files), QStringList());
        QVERIFY(::kill(pid_t(pid), 0) != 0);
    }
};

QTEST_GUILESS_MAIN(TestDosProcess)
#include "tst_dosprocess.moc"
