#include "platform/errors.h"
#include "platform/fileservices.h"
#include "platform/largepages.h"
#include "platform/prompter.h"
#include "platform/registry.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QtTest>

using namespace bp;
using bp::test::TestEnv;

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void registryKeysAndValues()
    {
        TestEnv env;
        const QString text = "C:\\a, b;c=d\r\n@e\r\n";
        {
            Registry reg;
            reg.OpenKey("Software/Tarviksoft");
            reg.OpenKey("Brewpad");
            QCOMPARE(reg.CurrentPath(), QString("Software/Tarviksoft/Brewpad"));
            reg.WriteString("Text", text);
            reg.WriteString(Registry::defaultValueName(), "unnamed");
            reg.OpenKey("Display\\Font\\");
            QCOMPARE(reg.CurrentPath(), QString("Software/Tarviksoft/Brewpad/Display/Font"));
            reg.WriteBool("On", true);
            reg.WriteBool("Off", false);
            reg.OpenKey("/Other");
            QCOMPARE(reg.CurrentPath(), QString("Other"));
            reg.WriteInteger("Int", -7);
            reg.CloseKey();
            QVERIFY(reg.ValueExists("Other/Int"));
            QVERIFY(!reg.ValueExists("Other")); // a key is not a value

            // Without creation only a key that holds something opens.
            QVERIFY(!reg.OpenKey("Missing", false));
            QCOMPARE(reg.CurrentPath(), QString());
            QVERIFY(reg.OpenKey("Display", false));
            QVERIFY(!reg.OpenKey("Nothing", false));
            QVERIFY(reg.OpenKey("Font", false));
            QCOMPARE(reg.ReadBoolOpt("On"), std::optional<bool>(true));
        }
        // The program's key is the root of the store; Booleans are stored as 1 and 0.
        const QSettings raw(env.storeFile(), QSettings::IniFormat);
        QCOMPARE(raw.value("Display/Font/On").toString(), QString("1"));
        QCOMPARE(raw.value("Display/Font/Off").toString(), QString("0"));

        Registry reg;
        QCOMPARE(reg.ReadString("Text"), text);
        QCOMPARE(reg.ReadString(Registry::defaultValueName()), QString("unnamed"));
        QCOMPARE(reg.ReadString("Missing"), QString());
        QCOMPARE(reg.ReadBoolOpt("Display/Font/Off"), std::optional<bool>(false));
        QCOMPARE(reg.ReadIntegerOpt("Other/Int"), std::optional<qint32>(-7));
        QVERIFY(!reg.ReadIntegerOpt("Missing"));
    }

    void registryIntegers_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("expected"); // 99: refused, the fallback
        QTest::newRow("negative text") << QVariant("-5") << -5;
        QTest::newRow("blanks") << QVariant(" 12 ") << 12;
        QTest::newRow("int max") << QVariant("2147483647") << 2147483647;
        QTest::newRow("too large") << QVariant("2147483648") << 99;
        QTest::newRow("word") << QVariant("left") << 99;
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
        QCOMPARE(reg.ReadIntegerOpt("N").has_value(), expected != 99);
        QCOMPARE(reg.ReadInteger("N", 99), expected);
        QCOMPARE(reg.ReadBool("N", false), expected != 99); // any number but 0 is True
    }

    void splitPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("parts"); // path|name|extension|directory
        QTest::newRow("two dots") << "/a/b.tar.gz"
                                  << "/a/|b.tar.gz|.gz|/a";
        QTest::newRow("no dot") << "/a/Makefile"
                                << "/a/|Makefile||/a";
        QTest::newRow("dot in directory") << "/a/src.d/README"
                                          << "/a/src.d/|README||/a/src.d";
        QTest::newRow("bare name") << "page.html"
                                   << "|page.html|.html|";
        QTest::newRow("trailing dot") << "/a/name."
                                      << "/a/|name.|.|/a";
        QTest::newRow("directory only") << "/a/b/"
                                        << "/a/b/|||/a/b";
        QTest::newRow("root file") << "/x.txt"
                                   << "/|x.txt|.txt|/";
    }
    void splitPath()
    {
        QFETCH(QString, path);
        QFETCH(QString, parts);
        QCOMPARE(QStringList({files::extractFilePath(path), files::extractFileName(path),
                              files::extractFileExt(path), files::extractFileDir(path)})
                     .join('|'),
                 parts);
    }

    void makeTempFile()
    {
        TestEnv env;
        const QRegularExpression shape("^bpd[0-9A-F]{4,8}\\.tmp$");
        const QString dir = QFileInfo(env.dir()).absoluteFilePath();
        QSet<QString> seen;
        for (int i = 0; i < 50; ++i) {
            const QString path = files::makeTempFile(env.dir());
            QVERIFY2(shape.match(files::extractFileName(path)).hasMatch(), qPrintable(path));
            QCOMPARE(QFileInfo(path).absolutePath(), dir);
            QVERIFY(QFileInfo(path).isFile() && QFileInfo(path).size() == 0);
            seen.insert(path);
        }
        QCOMPARE(seen.size(), 50);
        // Without a directory the file goes into the current one.
        QCOMPARE(QFileInfo(files::makeTempFile(QString())).absolutePath(), dir);
        QCOMPARE(files::makeTempFile(env.path("missing")), QString());
        QCOMPARE(files::makeTempFile(env.writeFile("plain", "x")), QString());
    }

    void isReadOnly()
    {
        TestEnv env;
        const QString path = env.writeFile("f.txt", "text");
        QVERIFY(!files::isReadOnly(path));
        // A clear owner-write bit counts even for a user who could still write (root).
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
        QVERIFY(files::isReadOnly(path));
        QVERIFY(files::isReadOnly(env.path("missing.txt")));
    }

    void writeAtomically()
    {
        TestEnv env;
        const QString path = env.writeFile("doc.txt", "old");
        files::writeAtomically(path, "new\r\ntext\n");
        QCOMPARE(TestEnv::readFile(path), QByteArray("new\r\ntext\n"));

        // The temporary file sits beside the target with a suffix; a name with
        // no room for that suffix makes the write fail for any user, root
        // included, while the old file stays as it was.
        const QString longName = env.writeFile(QString(250, 'n'), "old content");
        QVERIFY_THROWS_EXCEPTION(EBrewpadError, files::writeAtomically(longName, "replacement"));
        QCOMPARE(TestEnv::readFile(longName), QByteArray("old content"));
        QDir(env.dir()).mkdir("sub");
        QVERIFY_THROWS_EXCEPTION(EBrewpadError, files::writeAtomically(env.path("sub"), "x"));
        // Nothing but the two files and the directory is left behind.
        QCOMPARE(QDir(env.dir()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).size(),
                 3);
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

    // Where the kernel gives huge pages on request only, a program started
    // directly starts once more with them asked for; one started by the
    // launcher already has them. Either way what it starts in turn sees the
    // tunables as they were.
    void hugePagesStart_data()
    {
        QTest::addColumn<QString>("tunables"); // empty: not set
        QTest::addColumn<bool>("launched");
        QTest::newRow("none") << QString() << false;
        QTest::newRow("others kept") << QStringLiteral("glibc.malloc.perturb=0") << false;
        QTest::newRow("own choice") << QStringLiteral("glibc.malloc.hugetlb=0") << false;
        QTest::newRow("launched") << QString() << true;
        QTest::newRow("launched, others kept") << QStringLiteral("glibc.malloc.perturb=0") << true;
    }
    void hugePagesStart()
    {
        QFETCH(QString, tunables);
        QFETCH(bool, launched);
        QFile modes(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled"));
        const bool onRequest = modes.open(QIODevice::ReadOnly) && modes.readAll().contains("[madvise]");
        const QByteArray saved = qgetenv("GLIBC_TUNABLES");
        if (tunables.isEmpty())
            qunsetenv("GLIBC_TUNABLES");
        else
            qputenv("GLIBC_TUNABLES", tunables.toLocal8Bit());
        if (launched)
            AskForHugePages();
        QProcess probe;
        probe.start(QStringLiteral(HUGEPAGES_PROBE), {});
        const bool finished = probe.waitForFinished(30000);
        // This process's own environment back as it was.
        qunsetenv("BREWPAD_TUNABLES_BEFORE");
        if (saved.isNull())
            qunsetenv("GLIBC_TUNABLES");
        else
            qputenv("GLIBC_TUNABLES", saved);
        QVERIFY(finished);
        const QStringList lines = QString::fromLocal8Bit(probe.readAllStandardOutput()).split('\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], tunables.isEmpty() ? QStringLiteral("-") : tunables);
        const bool huge = onRequest && !tunables.contains(QLatin1String("hugetlb"));
        QCOMPARE(lines[1], huge ? QStringLiteral("huge") : QStringLiteral("small"));
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
