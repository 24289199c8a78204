// The compile's model side, with scripts standing in for the JDK: the editor's text in the
// document's file for the time of the compile, and the file's own bytes back afterwards.
#include "model/compiledocument.h"
#include "model/document.h"
#include "platform/errors.h"
#include "support/testenv.h"
#include "tools/dosprocess.h"

#include <QtTest>

using namespace bp;
using bp::test::TestEnv;

namespace {

// An executable script in the test's directory.
QString script(const TestEnv& env, const QString& name, const QByteArray& body)
{
    const QString path = env.writeFile(name, "#!/bin/sh\n" + body);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QStringList leftovers(const TestEnv& env)
{
    return QDir(env.path("src")).entryList({"bpd*"}, QDir::Files);
}

} // namespace

class TestCompileDocument : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Written while the swap lasts and put back after; a read-only file or one that already
    // holds the text is never written.
    void sourceSwap()
    {
        TestEnv env;
        const QString file = env.writeFile("A.java", "stored");
        const QDateTime old = QDateTime::currentDateTime().addDays(-1);
        const auto setOld = [&] {
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadWrite) &&
                    f.setFileTime(old, QFile::FileModificationTime));
        };
        const auto untouched = [&] {
            return QFileInfo(file).lastModified() == old && TestEnv::readFile(file) == "stored";
        };
        {
            TSourceSwap swap(file, "edited");
            QCOMPARE(TestEnv::readFile(file), QByteArray("edited"));
            swap.restore();
            QCOMPARE(TestEnv::readFile(file), QByteArray("stored"));
        }
        {
            const TSourceSwap swap(file, "edited"); // left by an error: put back all the same
        }
        QCOMPARE(TestEnv::readFile(file), QByteArray("stored"));

        setOld();
        {
            TSourceSwap same(file, "stored");
            QVERIFY(untouched());
            same.restore();
        }
        QVERIFY(untouched());
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner));
        {
            const TSourceSwap readOnly(file, "edited");
            QVERIFY(untouched());
        }
        QVERIFY(untouched());
    }

    // The compiler sees the editor's text as the document would save it, Latin-1 and CR LF
    // here; its output comes back, nothing else is left, and the file is as it was.
    void compileWithStandIns()
    {
        TestEnv env;
        const QByteArray stored = "class A { char c = '\xe9'; }\r\n";
        const auto doc = TDocument::CreateFromFile(env.writeFile("src/A b.java", stored));
        doc->LoadPieces([](qint64) {}, [](const char*, qsizetype) {});
        const QString java = script(env, "java", "echo 'java version \"1.0.2\"' >&2\n");
        const QString javac = script(env, "javac",
                                     "printf '%s|' \"$@\" > ../seen; pwd >> ../seen\n"
                                     "cat \"$1\" >> ../seen; echo \"$1:1: error: x\"\n");

        const TCompileResult r =
            CompileDocument(*doc, "class A { char c = '\xc3\xa9'; int x; }\n", javac, java);
        QVERIFY(r.Refusal.isEmpty());
        QCOMPARE(TestEnv::readFile(r.OutputFile), doc->FullPath().toUtf8() + ":1: error: x\n");
        QFile::remove(r.OutputFile);
        QCOMPARE(TestEnv::readFile(env.path("seen")),
                 doc->FullPath().toUtf8() + "|" + env.path("src").toUtf8() +
                     "\nclass A { char c = '\xe9'; int x; }\r\n");
        QCOMPARE(TestEnv::readFile(doc->FullPath()), stored);
        QCOMPARE(leftovers(env), QStringList());

        // A compiler that cannot start: its error, the file put back, no file left.
        QVERIFY_THROWS_EXCEPTION(EDosProcessError,
                                 CompileDocument(*doc, "edited\n", env.path("none"), java));
        QCOMPARE(TestEnv::readFile(doc->FullPath()), stored);
        QCOMPARE(leftovers(env), QStringList());
    }

    // The compile writes the file and puts it back: a document that was as its file stays
    // so, also when the compiler cannot start; one whose file another program changed
    // before stays changed.
    void compileLeavesTheDiskStateAlone_data()
    {
        QTest::addColumn<bool>("changedBefore");
        QTest::addColumn<bool>("compilerStarts");
        QTest::newRow("as recorded") << false << true;
        QTest::newRow("compiler missing") << false << false;
        QTest::newRow("changed before") << true << true;
    }
    void compileLeavesTheDiskStateAlone()
    {
        QFETCH(bool, changedBefore);
        QFETCH(bool, compilerStarts);
        TestEnv env;
        const QString file = env.writeFile("src/A.java", "class A {}\n");
        const auto doc = TDocument::CreateFromFile(file);
        doc->LoadPieces([](qint64) {}, [](const char*, qsizetype) {});
        if (changedBefore) {
            env.writeFile("src/A.java", "class A { int changed; }\n");
            QCOMPARE(doc->DiskState(), TDiskState::Changed);
        }
        const QString java = script(env, "java", "echo 'java version \"1.0.2\"' >&2\n");
        const QString javac =
            compilerStarts ? script(env, "javac", "echo compiled\n") : env.path("none");
        try {
            const TCompileResult r = CompileDocument(*doc, "class A { int x; }\n", javac, java);
            QFile::remove(r.OutputFile);
        } catch (const EDosProcessError&) {
            QVERIFY(!compilerStarts);
        }
        QCOMPARE(doc->DiskState(), changedBefore ? TDiskState::Changed : TDiskState::Unchanged);
    }
};

QTEST_GUILESS_MAIN(TestCompileDocument)
#include "tst_compiledocument.moc"
