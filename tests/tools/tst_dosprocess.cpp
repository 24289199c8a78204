#include "tools/dosprocess.h"

#include "support/testenv.h"

#include <QtTest>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

using namespace bp;
using bp::test::TestEnv;

class TestDosProcess : public QObject {
    Q_OBJECT

private slots:
    void capturesWhole_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("prints nothing") << ":" << QByteArray();
        QTest::newRow("stdout only") << "printf 'out\\nput\\n'" << QByteArray("out\nput\n");
        QTest::newRow("stderr only") << "printf 'err\\r\\n' >&2" << QByteArray("err\r\n");
        QTest::newRow("merged in order") << "printf 1; printf 2 >&2; printf 3" << QByteArray("123");
        QTest::newRow("binary") << "/usr/bin/printf 'a\\000\\377'" << QByteArray("a\0\xff", 3);
        QByteArray lines; // far more than a pipe or a write block holds, every line distinct
        for (int i = 1; i <= 100000; ++i)
            lines += QByteArray::number(i) + '\n';
        QTest::newRow("many blocks") << "seq 100000" << lines;
        QTest::newRow("stdin closed") << "timeout 20 cat; echo rc=$?" << QByteArray("rc=0\n");
        QTest::newRow("exit code ignored") << "printf x; exit 3" << QByteArray("x");
        QTest::newRow("crash keeps output") << "printf x; kill -SEGV $$" << QByteArray("x");
    }
    void capturesWhole()
    {
        QFETCH(QString, script);
        QFETCH(QByteArray, expected);
        TestEnv env;
        // The runner itself never uses a shell; the tests use one as a handy tool.
        const QString file = RunDosProcess("/bin/sh", {"-c", script}, env.dir(), false, false);
        QVERIFY(QFileInfo(file).isFile());
        QCOMPARE(TestEnv::readFile(file), expected);
    }

    // The runner's own failures: its error, no file left behind, the tool never run.
    void failures()
    {
        TestEnv env;
        env.writeFile("plain.txt", "touch ran\n");
        const auto errorOf = [](QString program, QString dir, QString script) {
            try {
                RunDosProcess(program, {"-c", script}, dir, true, false);
            } catch (const EDosProcessError& e) {
                return e.message();
            }
            return QString();
        };
        for (const char* program : {"/nonexistent/tool", "no-such-tool", "./plain.txt", ""})
            QCOMPARE(errorOf(program, env.dir(), "touch ran"), "Create process failed");
        QCOMPARE(errorOf("/bin/sh", env.path("no/dir"), "touch ran"), "no input file");
        QVERIFY(!QFileInfo::exists("ran")); // env.dir() is the current directory

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

    // Each run gets its own file in the tool's directory; a quoted program path is one argument.
    // The first tool waits for a line only our timer sends: events must flow while we wait.
    void twoRunsTwoFiles()
    {
        TestEnv env;
        const QString tool = env.path("work dir/the shell");
        const QString dir = QFileInfo(tool).path();
        QVERIFY(QDir().mkpath(dir) && QFile::link("/bin/sh", tool));
        QCOMPARE(::mkfifo(QFile::encodeName(dir + "/go").constData(), 0600), 0);
        QTimer::singleShot(0, this, [&] {
            QFile f(dir + "/go");
            if (f.open(QIODevice::WriteOnly))
                f.write("go\n");
        });
        const QString first = RunDosProcess(
            "/bin/sh", {"-c", "timeout 20 cat go || echo stuck; pwd"}, dir, false, false);
        const QString second = RunDosProcess("\"" + tool + "\" -c \"pwd\"", dir, false, false);
        QCOMPARE(QDir(dir).entryList({"bpd*"}, QDir::Files).size(), 2);
        const QString real = QFileInfo(dir).canonicalFilePath();
        QCOMPARE(TestEnv::readFile(first), "go\n" + QFile::encodeName(real) + "\n");
        QCOMPARE(TestEnv::readFile(second), QFile::encodeName(real) + "\n");
    }
};

QTEST_GUILESS_MAIN(TestDosProcess)
#include "tst_dosprocess.moc"
