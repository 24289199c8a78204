#include "platform/errors.h"
#include "platform/fileservices.h"
#include "platform/freedmemory.h"
#include "platform/prompter.h"
#include "platform/registry.h"
#include "platform/tempfile.h"
#include "support/testenv.h"

#include <QDateTime>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

#include <sys/resource.h>

using namespace bp;
using bp::test::TestEnv;

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    // The program's key is the store's root (tst_settings checks the stored keys themselves).
    void registryKeysAndValues()
    {
        TestEnv env;
        const QString text = "C:\\a, b;c=d\r\n@e\r\n";
        {
            Registry reg;
            reg.OpenKey("Software/Tarviksoft");
            reg.OpenKey("Brewpad");
            reg.WriteString("Text", text);
            reg.OpenKey("Display\\Font\\");
            QCOMPARE(reg.CurrentPath(), QString("Software/Tarviksoft/Brewpad/Display/Font"));
            reg.WriteBool("Off", false);
            reg.OpenKey("/Other");
            reg.WriteInteger("Int", -7);
            reg.CloseKey();
            QVERIFY(reg.ValueExists("Other/Int") && !reg.ValueExists("Other")); // a key is no value
            // Without creation only a key that holds something opens.
            QVERIFY(!reg.OpenKey("Missing", false) && reg.CurrentPath().isEmpty());
            QVERIFY(reg.OpenKey("Display", false) && !reg.OpenKey("Nothing", false));
            QVERIFY(reg.OpenKey("Font", false));
            QCOMPARE(reg.ReadBoolOpt("Off"), std::optional<bool>(false));
        }
        Registry reg;
        QCOMPARE(reg.ReadString("Text"), text);
        QCOMPARE(reg.ReadIntegerOpt("Other/Int"), std::optional<qint32>(-7));
        QVERIFY(reg.ReadString("Missing").isEmpty() && !reg.ReadIntegerOpt("Missing"));
    }

    void registryIntegers_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("expected"); // 99: refused, the fallback (more in tst_settings)
        QTest::newRow("negative text") << QVariant("-5") << -5;
        QTest::newRow("int max") << QVariant("2147483647") << 2147483647;
        QTest::newRow("too large") << QVariant("2147483648") << 99;
        QTest::newRow("number then word") << QVariant("12px") << 99;
        QTest::newRow("list") << QVariant(QStringList{"1", "2"}) << 99;
    }
    void registryIntegers()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, expected);
        TestEnv env;
        QSettings(env.storeFile(), QSettings::IniFormat).setValue("N", stored);
        Registry reg;
        QCOMPARE(reg.ReadInteger("N", 99), expected);
        QCOMPARE(reg.ReadBool("N", false), expected != 99); // any number but 0 is True
    }

    void splitPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("parts"); // path|name|extension|directory
        const auto row = [](const char* tag, const char* path, const char* parts) {
            QTest::newRow(tag) << QString(path) << QString(parts);
        };
        row("two dots", "/a/b.tar.gz", "/a/|b.tar.gz|.gz|/a");
        row("no dot", "/a/Makefile", "/a/|Makefile||/a");
        row("dot in directory", "/a/src.d/README", "/a/src.d/|README||/a/src.d");
        row("bare name", "page.html", "|page.html|.html|");
        row("trailing dot", "/a/name.", "/a/|name.|.|/a");
        row("directory only", "/a/b/", "/a/b/|||/a/b");
        row("root file", "/x.txt", "/|x.txt|.txt|/");
    }
    void splitPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, parts);
        const QStringList got{files::extractFilePath(path), files::extractFileName(path),
                              files::extractFileExt(path), files::extractFileDir(path)};
        QCOMPARE(got.join('|'), parts);
    }

    void tempFilesAndAtomicWrites()
    {
        TestEnv env;
        const QString path = env.writeFile("doc.txt", "old");
        QVERIFY(!files::isReadOnly(path));
        // A clear owner-write bit counts even for a user who could still write (root).
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
        QVERIFY(files::isReadOnly(path) && files::isReadOnly(env.path("missing.txt")));
        // No room for the temporary file's suffix: the write fails for any user, root included,
        // the old file stays as it was and nothing but the two files is left behind.
        const QString longName = env.writeFile(QString(250, 'n'), "old content");
        QVERIFY_THROWS_EXCEPTION(EBrewpadError, files::writeAtomically(longName, "replacement"));
        QCOMPARE(TestEnv::readFile(longName), QByteArray("old content"));
        QCOMPARE(QDir(env.dir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 2);

        const QRegularExpression shape("^bpd[0-9A-F]{4,8}\\.tmp$");
        const QString dir = QFileInfo(env.dir()).absoluteFilePath();
        QSet<QString> seen;
        for (int i = 0; i < 50; ++i) {
            const std::unique_ptr<QFile> made = files::createTempFile(env.dir());
            QVERIFY(made && made->isOpen());
            const QFileInfo file(made->fileName());
            QVERIFY2(shape.match(file.fileName()).hasMatch() && file.absolutePath() == dir &&
                         file.isFile() && file.size() == 0,
                     qPrintable(file.filePath()));
            // Only the user may read it: it receives what a compiler prints.
            QCOMPARE(file.permissions() & ~(QFile::ReadUser | QFile::WriteUser),
                     QFile::ReadOwner | QFile::WriteOwner);
            seen.insert(file.filePath());
        }
        QCOMPARE(seen.size(), 50);
        // Without a directory the file goes into the current one.
        QCOMPARE(QFileInfo(files::createTempFile(QString())->fileName()).absolutePath(), dir);
        QVERIFY(!files::createTempFile(env.writeFile("plain", "x"))); // not a directory
    }

    // A file's stamp tells every way another program may have changed it, also one within
    // the same second that keeps the size, and what is left is a file.
    void fileStampNoticesChanges_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<bool>("exists");
        QTest::newRow("untouched") << "none" << false << true;
        QTest::newRow("time moved by a millisecond") << "time" << true << true;
        QTest::newRow("size, time kept") << "size" << true << true;
        QTest::newRow("replaced, size and time kept") << "replace" << true << true;
        QTest::newRow("removed") << "remove" << true << false;
        QTest::newRow("replaced by a folder") << "folder" << true << false;
    }
    void fileStampNoticesChanges()
    {
        QFETCH(QString, change);
        QFETCH(bool, changed);
        QFETCH(bool, exists);
        TestEnv env;
        const QDateTime time = QDateTime::fromMSecsSinceEpoch(1600000000100);
        const auto setTime = [](const QString& path, const QDateTime& t) {
            QFile f(path);
            return f.open(QIODevice::ReadWrite) && f.setFileTime(t, QFile::FileModificationTime);
        };
        const QString file = env.writeFile("a.txt", "abc");
        QVERIFY(setTime(file, time));
        const files::FileStamp before = files::fileStamp(file);
        QVERIFY(before.Exists);
        QCOMPARE(before.Size, 3);
        QCOMPARE(before.ModifiedNs, 1600000000100 * 1000000);

        if (change == "time") {
            QVERIFY(setTime(file, time.addMSecs(1)));
        } else if (change == "size") {
            env.writeFile("a.txt", "abcd");
            QVERIFY(setTime(file, time));
        } else if (change == "replace") {
            const QString other = env.writeFile("b.txt", "xyz");
            QVERIFY(setTime(other, time));
            QVERIFY(::rename(QFile::encodeName(other).constData(),
                             QFile::encodeName(file).constData()) == 0);
        } else if (change == "remove") {
            QVERIFY(QFile::remove(file));
        } else if (change == "folder") {
            QVERIFY(QFile::remove(file) && QDir().mkdir(file));
        }
        const files::FileStamp after = files::fileStamp(file);
        QCOMPARE(after != before, changed);
        QCOMPARE(after.Exists, exists);
    }

    // A saved file keeps what it was beside its text: every mode bit, a symbolic link stays a
    // link to the file that gets the text, and every name of a hard-linked file sees it.
    void atomicWriteKeepsWhatTheFileWas_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("0600") << 0600;
        QTest::newRow("0755") << 0755;
        QTest::newRow("04755") << 04755;
    }
    void atomicWriteKeepsWhatTheFileWas()
    {
        QFETCH(int, mode);
        TestEnv env;
        const QString file = env.writeFile("a.txt", "old");
        const QByteArray native = QFile::encodeName(file);
        QCOMPARE(::chmod(native.constData(), mode_t(mode)), 0);
        files::writeAtomically(file, "new");
        struct stat st {};
        QCOMPARE(::stat(native.constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 07777), mode);
        QCOMPARE(TestEnv::readFile(file), QByteArray("new"));

        const QString link = env.path("link.txt");
        QVERIFY(QFile::link(file, link));
        files::writeAtomically(link, "through the link");
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(TestEnv::readFile(file), QByteArray("through the link"));

        const QString second = env.path("second.txt");
        QCOMPARE(::link(native.constData(), QFile::encodeName(second).constData()), 0);
        files::writeAtomically(file, "both names");
        QCOMPARE(TestEnv::readFile(second), QByteArray("both names"));
        QCOMPARE(::stat(native.constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 07777), mode);
        // The safety copy is gone.
        QCOMPARE(QDir(env.dir()).entryList({"bpd*"}, QDir::Files), QStringList());
    }

    // On a full disk a write fails and the file keeps its bytes, even for a payload small enough
    // that the save file's last buffered write is what fails.
    void atomicWriteOnFullDisk()
    {
        TestEnv env;
        const QString disk = env.path("disk");
        QVERIFY(QDir().mkpath(disk));
        const auto run = [](const QString& program, const QStringList& args) {
            QProcess p;
            p.start(program, args);
            return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit &&
                   p.exitCode() == 0;
        };
        if (!run("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", disk}))
            QSKIP("cannot mount a small tmpfs here");
        const auto unmount = qScopeGuard([&] { run("umount", {disk}); });
        const QString file = env.writeFile("disk/doc.txt", "old content");
        {
            QFile filler(disk + "/filler");
            QVERIFY(filler.open(QIODevice::WriteOnly));
            const QByteArray block(4096, 'f');
            while (filler.write(block) == block.size() && filler.flush()) {
            }
        }
        QVERIFY_THROWS_EXCEPTION(EBrewpadError, files::writeAtomically(file, QByteArray(1000, 'n')));
        QCOMPARE(TestEnv::readFile(file), QByteArray("old content"));
        // A file with two names is written in place: both keep the old bytes.
        const QString second = disk + "/second.txt";
        QVERIFY(::link(QFile::encodeName(file).constData(), QFile::encodeName(second).constData()) == 0);
        QVERIFY_THROWS_EXCEPTION(EBrewpadError, files::writeAtomically(file, QByteArray(9000, 'n')));
        QCOMPARE(TestEnv::readFile(file), QByteArray("old content"));
        QCOMPARE(TestEnv::readFile(second), QByteArray("old content"));
    }

    // A guarded temporary file goes with its guard unless handed over.
    void tempFileGuard()
    {
        TestEnv env;
        const QString dropped = files::createTempFile(env.dir())->fileName();
        const QString kept = files::createTempFile(env.dir())->fileName();
        {
            const TTempFileGuard drop(dropped);
            TTempFileGuard keep(kept);
            QCOMPARE(keep.release(), kept);
            const TTempFileGuard nothing{QString()};
        }
        QVERIFY(!QFile::exists(dropped) && QFile::exists(kept));
    }

    // Temporary files left behind (unchanged for a while, open nowhere) go; one still open
    // in a running program, a recent one and other files stay.
    void staleTempFilesAreRemoved()
    {
        TestEnv env;
        const auto age = [](const QString& path, int seconds) {
            QFile f(path);
            return f.open(QIODevice::ReadWrite) &&
                   f.setFileTime(QDateTime::currentDateTime().addSecs(-seconds),
                                 QFileDevice::FileModificationTime);
        };
        const QString left = files::createTempFile(env.dir())->fileName();
        const QString recent = files::createTempFile(env.dir())->fileName();
        const std::unique_ptr<QFile> inUse = files::createTempFile(env.dir());
        const QString other = env.writeFile("notes.tmp", "x");
        QVERIFY(age(left, 600) && age(inUse->fileName(), 600) && age(other, 600) &&
                age(recent, 10));
        files::removeStaleTempFiles(env.dir(), "bpd", 60);
        QVERIFY(!QFile::exists(left));
        QVERIFY(QFile::exists(recent) && QFile::exists(inUse->fileName()) && QFile::exists(other));
    }

    void qtNameFilters()
    {
        QCOMPARE(bp::qtNameFilters("Html files (*.htm, *.html)|*.htm;*.html"),
                 QString("Html files (*.htm *.html)"));
        QCOMPARE(bp::qtNameFilters("Java files (*.java)|*.java|All files (*.*)|*.*"),
                 QString("Java files (*.java);;All files (*.*)"));
        QCOMPARE(bp::qtNameFilters("Text|*.txt"), QString("Text (*.txt)"));
        QCOMPARE(bp::qtNameFilters(""), QString());
    }

    // A large block freed stays with the process: writing the next one of its size faults in
    // no fresh pages (without the settings, all of its 2,048 pages).
    void freedMemoryIsReused()
    {
#ifdef __SANITIZE_ADDRESS__
        QSKIP("the address sanitizer brings an allocator of its own");
#endif
#ifdef __GLIBC__
        KeepFreedMemory();
        const auto faults = [] {
            rusage usage{};
            getrusage(RUSAGE_SELF, &usage);
            return usage.ru_minflt;
        };
        const qsizetype size = qsizetype(8) << 20;
        QByteArray block(size, 'a');
        block = QByteArray();
        const long before = faults();
        block = QByteArray(size, 'b');
        const long fresh = faults() - before;
        QVERIFY2(fresh < 64, qPrintable(QString::number(fresh) + " pages faulted in"));
#else
        QSKIP("only the GNU C library's allocator is tuned");
#endif
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
