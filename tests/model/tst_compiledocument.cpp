// The compile's model side, with scripts standing in for the JDK: the editor's text in the
// document's file for the time of the compile, the file's own bytes in a recovery copy beside
// it meanwhile, and the file's own bytes back afterwards.
#include "model/compiledocument.h"
#include "model/document.h"
#include "model/recoverycopy.h"
#include "platform/errors.h"
#include "platform/fileservices.h"
#include "support/testenv.h"

#include <QtTest>

#include <sys/resource.h>

#include <csignal>

using namespace bp;
using bp::test::TestEnv;

namespace {

QStringList leftovers(const TestEnv& env)
{
    return QDir(env.path("src")).entryList({"bpd*", ".*bprecover*"}, QDir::Files | QDir::Hidden);
}

// Bytes no text conversion would keep: mixed line ends, a lone CR, Latin-1, a NUL.
constexpr char StoredBytes[] = "class A {\r\n  char c = '\xe9';\r\n}\n\r\0 ";
const QByteArray Stored = QByteArray(StoredBytes, sizeof StoredBytes - 1);

// A loaded document of a file holding Stored, in the test's src folder.
std::unique_ptr<TDocument> storedDocument(const TestEnv& env, const QString& name = "src/A b.java")
{
    auto doc = TDocument::CreateFromFile(env.writeFile(name, Stored));
    doc->LoadPieces([](qint64) {}, [](const char*, qsizetype) {});
    return doc;
}

} // namespace

class TestCompileDocument : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Written while the swap lasts and put back after, its own bytes meanwhile in a recovery
    // copy with its mode, marked as in use; a read-only file or one that already holds the text
    // is never written and gets no copy.
    void sourceSwap()
    {
        TestEnv env;
        const QString file = env.writeFile("A.java", "stored");
        // Group write is one of the bits a umask usually takes away.
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner |
                                                QFile::WriteGroup | QFile::ExeOther));
        const QString copy = env.path(".A.java.bprecover");
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
            QCOMPARE(swap.recoveryCopy(), copy);
            QCOMPARE(TestEnv::readFile(copy), QByteArray("stored"));
            QCOMPARE(QFile::permissions(copy), QFile::permissions(file));
            QVERIFY(files::isInUse(copy));
            swap.restore();
            QCOMPARE(TestEnv::readFile(file), QByteArray("stored"));
            QVERIFY(!QFile::exists(copy));
        }
        {
            const TSourceSwap swap(file, "edited"); // left by an error: put back all the same
        }
        QCOMPARE(TestEnv::readFile(file), QByteArray("stored"));
        QVERIFY(!QFile::exists(copy));

        setOld();
        {
            TSourceSwap same(file, "stored");
            QVERIFY(untouched());
            QCOMPARE(same.recoveryCopy(), QString());
            same.restore();
        }
        QVERIFY(untouched());
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner));
        {
            const TSourceSwap readOnly(file, "edited");
            QVERIFY(untouched());
            QCOMPARE(readOnly.recoveryCopy(), QString());
        }
        QVERIFY(untouched());
        QCOMPARE(QDir(env.dir()).entryList({".*bprecover*"}, QDir::Files | QDir::Hidden),
                 QStringList());
    }

    // A copy an earlier compile left is never written over: the next name is taken, and the
    // old copy stays as it was.
    void recoveryCopyNeverReplacesOne()
    {
        TestEnv env;
        const QString file = env.writeFile("A.java", "stored");
        const QString older = env.writeFile(".A.java.bprecover", "older");
        {
            TSourceSwap swap(file, "edited");
            QCOMPARE(swap.recoveryCopy(), env.path(".A.java.bprecover1"));
            QCOMPARE(TestEnv::readFile(swap.recoveryCopy()), QByteArray("stored"));
        }
        QCOMPARE(TestEnv::readFile(older), QByteArray("older"));
        QCOMPARE(TestEnv::readFile(file), QByteArray("stored"));
        QVERIFY(!QFile::exists(env.path(".A.java.bprecover1")));
    }

    // Without a recovery copy the file is not written: one that cannot be written (a size
    // limit) is not left behind, and one that finds no free name is not made.
    void noRecoveryCopyNoWrite()
    {
        TestEnv env;
        const QString file = env.writeFile("A.java", "stored");
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit none{0, old.rlim_max};
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &none), 0);
        bool thrown = false;
        try {
            TSourceSwap swap(file, "edited");
        } catch (const EBrewpadError&) {
            thrown = true;
        }
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(thrown);
        QCOMPARE(TestEnv::readFile(file), QByteArray("stored"));
        QCOMPARE(QDir(env.dir()).entryList({".*bprecover*"}, QDir::Files | QDir::Hidden),
                 QStringList());

        // Every name a copy may take is taken by copies left earlier.
        for (int i = 0; i < 100; ++i)
            env.writeFile(".A.java.bprecover" + (i ? QString::number(i) : QString()), "left");
        QVERIFY_THROWS_EXCEPTION(EBrewpadError, TSourceSwap(file, "edited"));
        QCOMPARE(TestEnv::readFile(file), QByteArray("stored"));
    }

    // The compiler sees the editor's text as the document would save it, Latin-1 and CR LF
    // here; its output and exit status come back, nothing else is left, and the file is as it
    // was. A compiler that cannot start is reported with the file put back.
    void compileWithStandIns()
    {
        TestEnv env;
        const auto doc = storedDocument(env);
        const QString java = env.writeScript("java", "echo 'java version \"1.0.2\"' >&2\n");
        const QString javac =
            env.writeScript("javac", "printf '%s|' \"$@\" > ../seen; pwd >> ../seen\n"
                                     "cat \"$1\" >> ../seen; echo \"$1:1: error: x\"\n"
                                     "exit 1\n");
        TDocumentCompile compile;
        QSignalSpy ended(&compile, &TDocumentCompile::finished);
        compile.start(*doc, "class A { char c = '\xc3\xa9'; int x; }\n", javac, java);
        QVERIFY(compile.isRunning());
        QVERIFY(ended.wait(60000));
        const TCompileResult& r = compile.result();
        QCOMPARE(r.Error, QString());
        QVERIFY(r.Refusal.isEmpty() && !r.Stopped);
        QCOMPARE(r.ExitedCleanly, std::optional<bool>(false));
        QCOMPARE(TestEnv::readFile(r.OutputFile), doc->FullPath().toUtf8() + ":1: error: x\n");
        QFile::remove(r.OutputFile);
        QCOMPARE(TestEnv::readFile(env.path("seen")),
                 doc->FullPath().toUtf8() + "|" + env.path("src").toUtf8() +
                     "\nclass A { char c = '\xe9'; int x; }\r\n");
        QCOMPARE(TestEnv::readFile(doc->FullPath()), Stored);
        QCOMPARE(leftovers(env), QStringList());

        TDocumentCompile failing;
        QSignalSpy failed(&failing, &TDocumentCompile::finished);
        failing.start(*doc, "edited\n", env.path("none"), java);
        QVERIFY(failed.wait(60000));
        QCOMPARE(failing.result().Error, QString("Create process failed"));
        QCOMPARE(failing.result().OutputFile, QString());
        QCOMPARE(failing.result().ExitedCleanly, std::optional<bool>());
        QCOMPARE(TestEnv::readFile(doc->FullPath()), Stored);
        QCOMPARE(leftovers(env), QStringList());
    }

    // Stopped while the compiler never ends: finished() has come when stop() returns, with the
    // output so far, and the file holds its own bytes again, byte for byte and mode, with no
    // copy left. A compile destroyed while it runs puts the file back too.
    void stopDuringAHangingCompile()
    {
        TestEnv env;
        const auto doc = storedDocument(env);
        QVERIFY(QFile::setPermissions(doc->FullPath(), QFile::ReadOwner | QFile::WriteOwner));
        const QString java = env.writeScript("java", "exit 0\n");
        const QString javac = env.writeScript(
            "javac", "echo so far; touch ../started\nwhile :; do sleep 0.02; done\n");
        TDocumentCompile compile;
        QSignalSpy ended(&compile, &TDocumentCompile::finished);
        compile.start(*doc, "edited\n", javac, java);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(env.path("started")), 60000);
        QCOMPARE(TestEnv::readFile(doc->FullPath()), QByteArray("edited\r\n"));
        QCOMPARE(TestEnv::readFile(compile.recoveryCopy()), Stored);
        compile.stop();
        QCOMPARE(ended.size(), 1);
        QVERIFY(compile.result().Stopped);
        QCOMPARE(compile.result().ExitedCleanly, std::optional<bool>(false));
        QCOMPARE(TestEnv::readFile(compile.result().OutputFile), QByteArray("so far\n"));
        QFile::remove(compile.result().OutputFile);
        QCOMPARE(TestEnv::readFile(doc->FullPath()), Stored);
        QCOMPARE(QFile::permissions(doc->FullPath()),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        QCOMPARE(leftovers(env), QStringList());

        QFile::remove(env.path("started"));
        {
            TDocumentCompile dropped;
            dropped.start(*doc, "edited again\n", javac, java);
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(env.path("started")), 60000);
            QCOMPARE(TestEnv::readFile(doc->FullPath()), QByteArray("edited again\r\n"));
        }
        QCOMPARE(TestEnv::readFile(doc->FullPath()), Stored);
        QCOMPARE(leftovers(env), QStringList());
    }

    // Left copies are found by name and belong to the file their name gives; a copy that a
    // running compile holds, and names of others, are not among them. Putting one back restores
    // its file, keeping the file's mode, and deletes it.
    void leftCopies()
    {
        TestEnv env;
        const auto running = storedDocument(env, "src/Run.java");
        const QString file = env.writeFile("src/A.java", "edited");
        QVERIFY(
            QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
        const QString copy = env.writeFile("src/.A.java.bprecover2", Stored);
        for (const char* other : {"src/.A.java.bprecover.tmp", "src/A.java.bprecover",
                                  "src/.bprecover", "src/.A.java.bprecoverx"})
            env.writeFile(other, "not ours");

        const QString java = env.writeScript("java", "exit 0\n");
        const QString javac =
            env.writeScript("javac", "touch ../started\nwhile :; do sleep 0.02; done\n");
        TDocumentCompile compile;
        compile.start(*running, "edited\n", javac, java);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(env.path("started")), 60000);
        QVERIFY(QFile::exists(compile.recoveryCopy()));

        const TLeftRecoveryCopy left{file, copy};
        QCOMPARE(FindLeftRecoveryCopies(env.path("src")), QList<TLeftRecoveryCopy>{left});
        QCOMPARE(RecoveryQuestion(left),
                 "'" + file +
                     "' holds the text that was being compiled when Brewpad stopped; its saved "
                     "content is in '" +
                     copy + "'.\n\nPut the saved content back?");
        const QFile::Permissions mode = QFile::permissions(file);
        RestoreRecoveryCopy(left);
        QCOMPARE(TestEnv::readFile(file), Stored);
        QCOMPARE(QFile::permissions(file), mode);
        QVERIFY(!QFile::exists(copy));
        QCOMPARE(FindLeftRecoveryCopies(env.path("src")), QList<TLeftRecoveryCopy>());
        compile.stop();
        QCOMPARE(TestEnv::readFile(running->FullPath()), Stored);
    }

    // A folder's copies are offered once a run.
    void firstRecoveryCheckOnce()
    {
        TestEnv env;
        QVERIFY(QDir().mkpath(env.path("a")));
        TRecoveryChecks checks;
        QVERIFY(checks.First(env.path("a")));
        QVERIFY(!checks.First(env.path("a/")));
        QVERIFY(!checks.First(env.path("a/../a")));
        QVERIFY(checks.First(env.dir()));
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
        const QString java = env.writeScript("java", "echo 'java version \"1.0.2\"' >&2\n");
        const QString javac =
            compilerStarts ? env.writeScript("javac", "echo compiled\n") : env.path("none");
        TDocumentCompile compile;
        QSignalSpy ended(&compile, &TDocumentCompile::finished);
        compile.start(*doc, "class A { int x; }\n", javac, java);
        QVERIFY(ended.wait(60000));
        QCOMPARE(compile.result().Error.isEmpty(), compilerStarts);
        QFile::remove(compile.result().OutputFile);
        QCOMPARE(doc->DiskState(), changedBefore ? TDiskState::Changed : TDiskState::Unchanged);
    }
};

QTEST_GUILESS_MAIN(TestCompileDocument)
#include "tst_compiledocument.moc"
