#include "tools/dosprocess.h"

#include "support/testenv.h"

#include <QtTest>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

using namespace bp;
using bp::test::TestEnv;

// The runner itself never uses a shell; the tests use one as a handy tool.
static QString runScript(const QString& script, const QString& dir)
{
    return RunDosProcess(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script}, dir, false,
                         false);
}

static QStringList bpdFiles(const QString& dir)
{
    return QDir(dir).entryList({QStringLiteral("bpd*")}, QDir::Files);
}

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
        const QString file = runScript(script, env.dir());
        QVERIFY(QFileInfo(file).isFile());
        QCOMPARE(TestEnv::readFile(file), expected);
    }

    // No tool started, or no capture file made: the runner's error, no file
    // left behind, and the tool never ran.
    void failures()
    {
        TestEnv env;
        env.writeFile(QStringLiteral("plain.txt"), "touch ran\n");
        const QString marker = env.path(QStringLiteral("ran"));
        const auto errorOf = [&](const QString& program, const QString& dir) {
            try {
                RunDosProcess(program, {"-c", "touch '" + marker + "'"}, dir, true, false);
            } catch (const EDosProcessError& e) {
                return e.message();
            }
            return QString();
        };
        for (const char* program : {"/nonexistent/tool", "no-such-tool", "./plain.txt", ""})
            QCOMPARE(errorOf(program, env.dir()), QStringLiteral("Create process failed"));
        QCOMPARE(errorOf("/bin/sh", env.path("no/dir")), QStringLiteral("no input file"));
        QCOMPARE(bpdFiles(env.dir()), QStringList());
        QVERIFY(!QFileInfo::exists(marker));
    }

    // Each run gets its own file in the directory, where the tool runs too; a
    // quoted program path in a command-line text is one argument.
    void lostOutputIsAnError()
    {
        // A capture file that cannot grow (here: a file size limit) must not
        // pass for the tool's whole output.
        TestEnv env;
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old;
        small.rlim_cur = 64 * 1024;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        QString error;
        try {
            runScript(QStringLiteral("seq 100000"), env.dir());
        } catch (const EDosProcessError& e) {
            error = e.message();
        }
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY2(error.startsWith(QStringLiteral("Couldn't write the output")), qPrintable(error));
        QCOMPARE(bpdFiles(env.dir()), QStringList());
    }

    void twoRunsTwoFiles()
    {
        TestEnv env;
        const QString tool = env.path(QStringLiteral("work dir/the shell"));
        const QString dir = QFileInfo(tool).path();
        QVERIFY(QDir().mkpath(dir) && QFile::link(QStringLiteral("/bin/sh"), tool));
        const QString first = runScript(QStringLiteral("pwd"), dir);
        const QString second = RunDosProcess("\"" + tool + "\" -c \"pwd\"", dir, false, false);
        QVERIFY(first != second);
        QCOMPARE(bpdFiles(dir).size(), 2);
        const QString real = QFileInfo(dir).canonicalFilePath();
        for (const QString& file : {first, second}) {
            QCOMPARE(QFileInfo(file).canonicalPath(), real);
            QCOMPARE(TestEnv::readFile(file), QFile::encodeName(real) + "\n");
        }
    }

    // The tool waits for a line that only a timer of ours sends, so it ends
    // in time only if events are handled while the runner waits.
    void eventsFlowWhileWaiting()
    {
        TestEnv env;
        const QString fifo = env.path(QStringLiteral("go"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QTimer::singleShot(0, this, [&] {
            QFile f(fifo);
            if (f.open(QIODevice::WriteOnly))
                f.write("go\n");
        });
        const QString file = runScript("timeout 20 cat '" + fifo + "' || echo stuck", env.dir());
        QCOMPARE(TestEnv::readFile(file), QByteArray("go\n"));
    }
};

QTEST_GUILESS_MAIN(TestDosProcess)
#include "tst_dosprocess.moc"
