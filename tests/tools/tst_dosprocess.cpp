#include "tools/dosprocess.h"

#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QtTest>

#include <sys/stat.h>

using namespace bp;
using bp::test::TestEnv;

namespace {

const QString Sh = QStringLiteral("/bin/sh");

// The runner itself never uses a shell; the tests use one as a handy tool.
QString runScript(const QString& script, const QString& dir, bool redirectStdout = false)
{
    return RunDosProcess(Sh, {QStringLiteral("-c"), script}, dir, false, redirectStdout);
}

QStringList bpdFiles(const QString& dir)
{
    return QDir(dir).entryList({QStringLiteral("bpd*")}, QDir::Files);
}

// The message of the runner's error that run() throws; "" when it throws none.
template <typename F> QString errorOf(F run)
{
    try {
        run();
    } catch (const EBrewpadError& e) {
        return dynamic_cast<const EDosProcessError*>(&e) ? e.message()
                                                         : QStringLiteral("not EDosProcessError");
    }
    return QString();
}

} // namespace

class TestDosProcess : public QObject {
    Q_OBJECT

private slots:
    void capturesWhole_data();
    void capturesWhole();
    void largeOutputUnchanged();
    void startFailures();
    void missingDirectory();
    void freshFileInDirectory();
    void commandLineText();
    void eventsFlowWhileWaiting();
};

void TestDosProcess::capturesWhole_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("prints nothing") << QStringLiteral(":") << QByteArray();
    QTest::newRow("stdout only") << QStringLiteral("printf 'out\\nline two\\n'")
                                 << QByteArray("out\nline two\n");
    QTest::newRow("stderr only") << QStringLiteral("printf 'err\\r\\n' >&2")
                                 << QByteArray("err\r\n");
    QTest::newRow("interleaved") << QStringLiteral("printf 1; printf 2 >&2; printf 3; printf 4 >&2")
                                 << QByteArray("1234");
    QTest::newRow("binary") << QStringLiteral("/usr/bin/printf 'a\\000b\\377\\001\\r'")
                            << QByteArray("a\0b\xff\x01\r", 6);
    QTest::newRow("stdin empty and closed")
        << QStringLiteral("timeout 20 cat; echo rc=$?") << QByteArray("rc=0\n");
    QTest::newRow("exit code ignored")
        << QStringLiteral("printf partial; exit 3") << QByteArray("partial");
    QTest::newRow("crash keeps output")
        << QStringLiteral("printf before; kill -SEGV $$") << QByteArray("before");
}

void TestDosProcess::capturesWhole()
{
    QFETCH(QString, script);
    QFETCH(QByteArray, expected);
    TestEnv env;
    for (const bool redirectStdout : {false, true}) {
        const QString file = runScript(script, env.dir(), redirectStdout);
        QVERIFY2(QFileInfo(file).isFile(), qPrintable(file));
        QCOMPARE(TestEnv::readFile(file), expected);
        QVERIFY(QFile::remove(file));
    }
}

void TestDosProcess::largeOutputUnchanged()
{
    TestEnv env;
    // A period prime to every block size, so a lost or swapped block shows.
    QByteArray pattern(1 << 20, Qt::Uninitialized);
    for (qsizetype i = 0; i < pattern.size(); ++i)
        pattern[i] = char(i % 251);
    const QString source = env.writeFile(QStringLiteral("pattern.bin"), pattern);
    QCOMPARE(
        TestEnv::readFile(RunDosProcess(QStringLiteral("cat"), {source}, env.dir(), true, true)),
        pattern);

    QByteArray lines;
    for (int i = 1; i <= 50000; ++i)
        lines += QByteArray::number(i) + '\n';
    QCOMPARE(TestEnv::readFile(RunDosProcess(QStringLiteral("seq"), {QStringLiteral("50000")},
                                             env.dir(), false, false)),
             lines);
}

void TestDosProcess::startFailures()
{
    TestEnv env;
    const QString notExecutable = env.writeFile(QStringLiteral("plain.txt"), "text\n");
    for (const QString& program :
         {QStringLiteral("/nonexistent/brewpad-tool"), QStringLiteral("no-such-tool-on-path"),
          notExecutable, QString()}) {
        QCOMPARE(errorOf([&] { RunDosProcess(program, {}, env.dir(), true, false); }),
                 QStringLiteral("Create process failed"));
        QVERIFY2(bpdFiles(env.dir()).isEmpty(), qPrintable(program));
    }
}

void TestDosProcess::missingDirectory()
{
    TestEnv env;
    // The capture file is made before the tool starts: the tool never runs.
    const QString marker = env.path(QStringLiteral("ran"));
    QCOMPARE(errorOf([&] {
                 runScript(QStringLiteral("touch '%1'").arg(marker),
                           env.path(QStringLiteral("no/dir")));
             }),
             QStringLiteral("no input file"));
    QVERIFY(!QFileInfo::exists(marker));
}

void TestDosProcess::freshFileInDirectory()
{
    TestEnv env;
    const QString dir = env.path(QStringLiteral("work dir"));
    QVERIFY(QDir().mkpath(dir));
    const QString first = runScript(QStringLiteral("pwd"), dir);
    const QString second = runScript(QStringLiteral("pwd"), dir);
    QVERIFY(first != second);
    QCOMPARE(bpdFiles(dir).size(), 2);
    for (const QString& file : {first, second}) {
        const QFileInfo info(file);
        QCOMPARE(info.canonicalPath(), QFileInfo(dir).canonicalFilePath());
        QVERIFY(info.fileName().startsWith(QLatin1String("bpd")));
        // The tool runs in that directory too.
        const QString pwd = QString::fromLocal8Bit(TestEnv::readFile(file)).chopped(1);
        QCOMPARE(QFileInfo(pwd).canonicalFilePath(), QFileInfo(dir).canonicalFilePath());
    }
}

void TestDosProcess::commandLineText()
{
    TestEnv env;
    const QString tool = env.path(QStringLiteral("my tools/the shell"));
    QVERIFY(QDir().mkpath(QFileInfo(tool).path()));
    QVERIFY(QFile::link(Sh, tool));
    const QString file = RunDosProcess(QStringLiteral("\"%1\"  -c \"printf 'a  b'\"").arg(tool),
                                       env.dir(), false, false);
    QCOMPARE(TestEnv::readFile(file), QByteArray("a  b"));

    QCOMPARE(errorOf([&] { RunDosProcess(QStringLiteral("  "), env.dir(), false, false); }),
             QStringLiteral("Create process failed"));
    QCOMPARE(bpdFiles(env.dir()).size(), 1);
}

void TestDosProcess::eventsFlowWhileWaiting()
{
    TestEnv env;
    const QString fifo = env.path(QStringLiteral("go"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // The tool waits for a line that only a timer of ours sends, so it ends
    // in time only if events are handled while the runner waits.
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, [&] {
        QFile f(fifo);
        if (f.open(QIODevice::WriteOnly))
            f.write("go\n");
    });
    timer.start(0);
    const QString file =
        runScript(QStringLiteral("timeout 20 cat '%1' || echo stuck").arg(fifo), env.dir());
    QCOMPARE(TestEnv::readFile(file), QByteArray("go\n"));
}

QTEST_GUILESS_MAIN(TestDosProcess)
#include "tst_dosprocess.moc"
