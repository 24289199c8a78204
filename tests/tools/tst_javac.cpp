// The compile job: the interpreter's version probe, then the compiler, with scripts standing in
// for both.
#include "tools/javac.h"

#include "support/testenv.h"

#include <QDateTime>
#include <QtTest>

using namespace bp;
using bp::test::TestEnv;

namespace {

// Runs a compile job to its end in work.
bool runToEnd(TJavaCompileJob& job, const QString& javac, const QString& java, const QString& work)
{
    QSignalSpy ended(&job, &TJavaCompileJob::finished);
    job.start(javac, java, "A.java", work);
    return ended.wait(60000) && ended.size() == 1 && !job.isRunning();
}

} // namespace

class TestJavac : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Only the first line of what "-version" prints counts; the probe's output file goes.
    void versionProbe_data()
    {
        QTest::addColumn<QByteArray>("printed");
        QTest::addColumn<bool>("old");
        QTest::newRow("1.0") << QByteArray("java version \"1.0.2\"\n") << true;
        QTest::newRow("1.0, CR LF") << QByteArray("java version \"1.0\"\r\nmore\r\n") << true;
        QTest::newRow("1.1") << QByteArray("java version \"1.1.8\"\n") << false;
        QTest::newRow("jdk 17") << QByteArray("openjdk version \"17.0.15\" 2025-04-15\n") << false;
        QTest::newRow("on the second line") << QByteArray("\njava version \"1.0.2\"\n") << false;
        QTest::newRow("nothing") << QByteArray() << false;
    }
    void versionProbe()
    {
        QFETCH(QByteArray, printed);
        QFETCH(bool, old);
        TestEnv env;
        env.writeFile("printed", printed);
        const QString java =
            env.writeScript("bin/java", "[ \"$*\" = -version ] && cat ../printed >&2\n");
        const QString javac = env.writeScript("bin/javac", "echo compiled \"$@\"\n");
        QVERIFY(QDir().mkpath(env.path("work")));
        TJavaCompileJob job;
        QVERIFY(runToEnd(job, javac, java, env.path("work")));
        QCOMPARE(job.oldGeneration(), old);
        const QString output = job.takeOutputFile();
        QCOMPARE(TestEnv::readFile(output), QByteArray("compiled A.java\n"));
        QFile::remove(output);
        QCOMPARE(QDir(env.path("work")).entryList({"bpd*"}, QDir::Files), QStringList());
    }

    // How the compiler ended reaches the result; a tool that cannot start is an error, with no
    // exit status and no file left.
    void compilerExitStatus_data()
    {
        QTest::addColumn<QByteArray>("javac"); // null: no such program
        QTest::addColumn<QByteArray>("java");
        QTest::addColumn<QString>("error");
        QTest::addColumn<std::optional<bool>>("clean");
        const QByteArray java = "exit 0\n";
        QTest::newRow("exit 0") << QByteArray("echo ok\n") << java << QString()
                                << std::optional<bool>(true);
        QTest::newRow("exit 1") << QByteArray("echo 'A.java:1: error: x'; exit 1\n") << java
                                << QString() << std::optional<bool>(false);
        QTest::newRow("killed") << QByteArray("kill -TERM $$\n") << java << QString()
                                << std::optional<bool>(false);
        QTest::newRow("no compiler")
            << QByteArray() << java << "Create process failed" << std::optional<bool>();
        QTest::newRow("no interpreter") << QByteArray("echo ok\n") << QByteArray()
                                        << "Create process failed" << std::optional<bool>();
    }
    void compilerExitStatus()
    {
        QFETCH(QByteArray, javac);
        QFETCH(QByteArray, java);
        QFETCH(QString, error);
        QFETCH(std::optional<bool>, clean);
        TestEnv env;
        const QString compiler =
            javac.isNull() ? env.path("bin/none") : env.writeScript("bin/javac", javac);
        const QString interpreter =
            java.isNull() ? env.path("bin/none") : env.writeScript("bin/java", java);
        QVERIFY(QDir().mkpath(env.path("work")));
        TJavaCompileJob job;
        QVERIFY(runToEnd(job, compiler, interpreter, env.path("work")));
        QCOMPARE(job.error(), error);
        QCOMPARE(job.exitedCleanly(), clean);
        QCOMPARE(job.takeOutputFile().isEmpty(), !error.isEmpty());
        QVERIFY(!job.stopped());
    }

    // Stopped while the compiler hangs: the job ends at once, with what the compiler printed.
    void stopEndsAHangingCompiler()
    {
        TestEnv env;
        const QString java = env.writeScript("bin/java", "exit 0\n");
        const QString javac = env.writeScript(
            "bin/javac",
            "echo 'A.java:1: error: x'; touch ../started\nwhile :; do sleep 0.02; done\n");
        QVERIFY(QDir().mkpath(env.path("work")));
        TJavaCompileJob job;
        QSignalSpy ended(&job, &TJavaCompileJob::finished);
        job.start(javac, java, "A.java", env.path("work"));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(env.path("started")), 60000);
        job.stop();
        QCOMPARE(ended.size(), 1);
        QVERIFY(job.stopped() && !job.isRunning());
        QCOMPARE(job.exitedCleanly(), std::optional<bool>(false));
        const QString output = job.takeOutputFile();
        QCOMPARE(TestEnv::readFile(output), QByteArray("A.java:1: error: x\n"));
        QFile::remove(output);
    }

    // A capture file a killed compile left behind goes at the next compile in its folder;
    // the compile's own output is handed over, readable by the user alone.
    void compileClearsLeftCaptureFiles()
    {
        TestEnv env;
        const QString tool = env.writeScript("bin/tool", "echo \"$@\"\n");
        const QString left = env.writeFile("work/bpd1234.tmp", "old output");
        {
            QFile f(left);
            QVERIFY(f.open(QIODevice::ReadWrite) &&
                    f.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                  QFileDevice::FileModificationTime));
        }
        TJavaCompileJob job;
        QVERIFY(runToEnd(job, tool, tool, env.path("work")));
        QVERIFY(!QFile::exists(left));
        const QString output = job.takeOutputFile();
        QCOMPARE(TestEnv::readFile(output), QByteArray("A.java\n"));
        QCOMPARE(QFileInfo(output).permissions() & (QFile::ReadGroup | QFile::ReadOther),
                 QFile::Permissions());
        QFile::remove(output);
    }
};

QTEST_GUILESS_MAIN(TestJavac)
#include "tst_javac.moc"
