// The interpreter's version probe, with scripts standing in for the interpreter.
#include "tools/javac.h"

#include "support/testenv.h"

#include <QDateTime>
#include <QtTest>

using namespace bp;
using bp::test::TestEnv;

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
        const QString java = env.writeFile("bin/java", "#!/bin/sh\n[ \"$*\" = -version ] && "
                                                       "cat ../printed >&2\n");
        QVERIFY(QFile::setPermissions(java, QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(QDir().mkpath(env.path("work")));
        QCOMPARE(IsOldJavaGeneration(java, env.path("work")), old);
        QCOMPARE(QDir(env.path("work")).entryList({"bpd*"}, QDir::Files), QStringList());
    }

    // A capture file a killed compile left behind goes at the next compile in its folder;
    // the compile's own output is handed over, readable by the user alone.
    void compileClearsLeftCaptureFiles()
    {
        TestEnv env;
        const QString tool = env.writeFile("bin/tool", "#!/bin/sh\necho \"$@\"\n");
        QVERIFY(QFile::setPermissions(tool, QFile::ReadOwner | QFile::ExeOwner));
        const QString left = env.writeFile("work/bpd1234.tmp", "old output");
        {
            QFile f(left);
            QVERIFY(f.open(QIODevice::ReadWrite) &&
                    f.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                  QFileDevice::FileModificationTime));
        }
        const QString output = RunJavaCompiler(tool, tool, "A.java", env.path("work"));
        QVERIFY(!QFile::exists(left));
        QCOMPARE(TestEnv::readFile(output), QByteArray("A.java\n"));
        QCOMPARE(QFileInfo(output).permissions() & (QFile::ReadGroup | QFile::ReadOther),
                 QFile::Permissions());
        QFile::remove(output);
    }
};

QTEST_GUILESS_MAIN(TestJavac)
#include "tst_javac.moc"
