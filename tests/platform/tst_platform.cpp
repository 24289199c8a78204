#include "platform/errors.h"
#include "platform/fileservices.h"
#include "platform/prompter.h"
#include "platform/registry.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QtTest>

using namespace bp;
using bp::test::TestEnv;

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void registryKeys();
    void registryOpenExistingOnly();
    void registryValuesPersist();
    void registryIntegers_data();
    void registryIntegers();
    void registryBooleans();

    void splitPath_data();
    void splitPath();
    void makeTempFile();
    void isReadOnly();
    void writeAtomically();

    void qtNameFilters_data();
    void qtNameFilters();
};

void TestPlatform::registryKeys()
{
    TestEnv env;
    {
        Registry reg;
        reg.OpenKey(QStringLiteral("Software/Tarviksoft"));
        reg.OpenKey(QStringLiteral("Brewpad"));
        QCOMPARE(reg.CurrentPath(), QStringLiteral("Software/Tarviksoft/Brewpad"));
        reg.WriteString(QStringLiteral("Name"), QStringLiteral("base"));

        reg.OpenKey(QStringLiteral("Display\\Font\\"));
        QCOMPARE(reg.CurrentPath(), QStringLiteral("Software/Tarviksoft/Brewpad/Display/Font"));
        reg.WriteString(QStringLiteral("Name"), QStringLiteral("font"));

        reg.OpenKey(QStringLiteral("/Other"));
        QCOMPARE(reg.CurrentPath(), QStringLiteral("Other"));
        QVERIFY(!reg.ValueExists(QStringLiteral("Name")));
        reg.WriteString(QStringLiteral("Name"), QStringLiteral("other"));

        reg.CloseKey();
        QCOMPARE(reg.CurrentPath(), QString());
        QVERIFY(reg.ValueExists(QStringLiteral("Other/Name")));
        // A key is not a value.
        QVERIFY(!reg.ValueExists(QStringLiteral("Software")));
    }
    QSettings raw(env.storeFile(), QSettings::IniFormat);
    QCOMPARE(raw.value("Name").toString(), QStringLiteral("base"));
    QCOMPARE(raw.value("Display/Font/Name").toString(),
             QStringLiteral("font"));
    QCOMPARE(raw.value("Other/Name").toString(), QStringLiteral("other"));
}

void TestPlatform::registryOpenExistingOnly()
{
    TestEnv env;
    Registry reg;
    reg.OpenKey(QStringLiteral("A/B"));
    reg.WriteInteger(QStringLiteral("X"), 1);
    reg.CloseKey();

    QVERIFY(!reg.OpenKey(QStringLiteral("Missing"), false));
    QCOMPARE(reg.CurrentPath(), QString());
    QVERIFY(reg.OpenKey(QStringLiteral("A"), false));
    QVERIFY(!reg.OpenKey(QStringLiteral("C"), false));
    QCOMPARE(reg.CurrentPath(), QStringLiteral("A"));
    QVERIFY(reg.OpenKey(QStringLiteral("B"), false));
    QCOMPARE(reg.ReadInteger(QStringLiteral("X")), 1);
}

void TestPlatform::registryValuesPersist()
{
    TestEnv env;
    const QString text = QStringLiteral("C:\\a, b;c=d\r\n@e\r\n");
    {
        Registry reg;
        reg.OpenKey(QStringLiteral("K"));
        reg.WriteString(QStringLiteral("Text"), text);
        reg.WriteString(Registry::defaultValueName(), QStringLiteral("unnamed"));
        reg.WriteInteger(QStringLiteral("Int"), -7);
    }
    QVERIFY(QFile::exists(env.storeFile()));
    Registry reg;
    reg.OpenKey(QStringLiteral("K"));
    QCOMPARE(reg.ReadString(QStringLiteral("Text")), text);
    QCOMPARE(reg.ReadString(Registry::defaultValueName()), QStringLiteral("unnamed"));
    QCOMPARE(reg.ReadIntegerOpt(QStringLiteral("Int")), std::optional<qint32>(-7));
    QCOMPARE(reg.ReadString(QStringLiteral("Missing")), QString());
}

void TestPlatform::registryIntegers_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("expected");

    QTest::newRow("integer") << QVariant(42) << true << 42;
    QTest::newRow("negative text") << QVariant("-5") << true << -5;
    QTest::newRow("blanks") << QVariant(" 12 ") << true << 12;
    QTest::newRow("int max") << QVariant("2147483647") << true << 2147483647;
    QTest::newRow("too large") << QVariant("2147483648") << false << 0;
    QTest::newRow("word") << QVariant("left") << false << 0;
    QTest::newRow("empty") << QVariant("") << false << 0;
    QTest::newRow("number then word") << QVariant("12px") << false << 0;
    QTest::newRow("list") << QVariant(QStringList{"1", "2"}) << false << 0;
}

void TestPlatform::registryIntegers()
{
    QFETCH(QVariant, stored);
    QFETCH(bool, valid);
    QFETCH(int, expected);

    TestEnv env;
    {
        QSettings raw(env.storeFile(), QSettings::IniFormat);
        raw.setValue("K/N", stored);
    }
    Registry reg;
    reg.OpenKey(QStringLiteral("K"));
    const auto n = reg.ReadIntegerOpt(QStringLiteral("N"));
    QCOMPARE(n.has_value(), valid);
    QCOMPARE(reg.ReadInteger(QStringLiteral("N"), 99), valid ? expected : 99);
    QVERIFY(!reg.ReadIntegerOpt(QStringLiteral("Missing")));
}

void TestPlatform::registryBooleans()
{
    TestEnv env;
    {
        Registry reg;
        reg.WriteBool(QStringLiteral("On"), true);
        reg.WriteBool(QStringLiteral("Off"), false);
    }
    {
        QSettings raw(env.storeFile(), QSettings::IniFormat);
        QCOMPARE(raw.value("On").toString(), QStringLiteral("1"));
        QCOMPARE(raw.value("Off").toString(), QStringLiteral("0"));
        raw.setValue("Two", 2);
        raw.setValue("Word", "yes");
    }
    Registry reg;
    QCOMPARE(reg.ReadBoolOpt(QStringLiteral("On")), std::optional<bool>(true));
    QCOMPARE(reg.ReadBoolOpt(QStringLiteral("Off")), std::optional<bool>(false));
    QCOMPARE(reg.ReadBoolOpt(QStringLiteral("Two")), std::optional<bool>(true));
    QVERIFY(!reg.ReadBoolOpt(QStringLiteral("Word")));
    QCOMPARE(reg.ReadBool(QStringLiteral("Word"), true), true);
    QCOMPARE(reg.ReadBool(QStringLiteral("Missing"), false), false);
}

void TestPlatform::splitPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("dir");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QString>("fileDir");

    QTest::newRow("plain") << "/home/u/Hello.java"
                           << "/home/u/"
                           << "Hello.java"
                           << ".java"
                           << "/home/u";
    QTest::newRow("two dots") << "/a/b.tar.gz"
                              << "/a/"
                              << "b.tar.gz"
                              << ".gz"
                              << "/a";
    QTest::newRow("no dot") << "/a/Makefile"
                            << "/a/"
                            << "Makefile"
                            << ""
                            << "/a";
    QTest::newRow("dot in directory") << "/a/src.d/README"
                                      << "/a/src.d/"
                                      << "README"
                                      << ""
                                      << "/a/src.d";
    QTest::newRow("bare name") << "page.html"
                               << ""
                               << "page.html"
                               << ".html"
                               << "";
    QTest::newRow("trailing dot") << "/a/name."
                                  << "/a/"
                                  << "name."
                                  << "."
                                  << "/a";
    QTest::newRow("directory only") << "/a/b/"
                                    << "/a/b/"
                                    << ""
                                    << ""
                                    << "/a/b";
    QTest::newRow("root file") << "/x.txt"
                               << "/"
                               << "x.txt"
                               << ".txt"
                               << "/";
}

void TestPlatform::splitPath()
{
    QFETCH(QString, path);
    QFETCH(QString, dir);
    QFETCH(QString, name);
    QFETCH(QString, ext);
    QFETCH(QString, fileDir);
    QCOMPARE(files::extractFilePath(path), dir);
    QCOMPARE(files::extractFileName(path), name);
    QCOMPARE(files::extractFileExt(path), ext);
    QCOMPARE(files::extractFileDir(path), fileDir);
}

void TestPlatform::makeTempFile()
{
    TestEnv env;
    const QRegularExpression shape(QStringLiteral("^bpd[0-9A-F]{4,8}\\.tmp$"));
    QSet<QString> seen;
    for (int i = 0; i < 50; ++i) {
        const QString path = files::makeTempFile(env.dir());
        QVERIFY2(shape.match(files::extractFileName(path)).hasMatch(), qPrintable(path));
        QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(env.dir()).absoluteFilePath());
        QVERIFY(QFileInfo(path).isFile());
        QCOMPARE(QFileInfo(path).size(), 0);
        seen.insert(path);
    }
    QCOMPARE(seen.size(), 50);

    // Without a directory the file goes into the current one.
    const QString here = files::makeTempFile(QString());
    QCOMPARE(QFileInfo(here).absolutePath(), QFileInfo(env.dir()).absoluteFilePath());

    QCOMPARE(files::makeTempFile(env.path(QStringLiteral("missing"))), QString());
    // A file is no directory to put temporary files in.
    QCOMPARE(files::makeTempFile(env.writeFile(QStringLiteral("plain"), "x")), QString());
}

void TestPlatform::isReadOnly()
{
    TestEnv env;
    const QString path = env.writeFile(QStringLiteral("f.txt"), "text");
    QVERIFY(!files::isReadOnly(path));
    // Clearing the owner-write bit counts even for a user who could still
    // write the file (root).
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
    QVERIFY(files::isReadOnly(path));
    QVERIFY(files::isReadOnly(env.path(QStringLiteral("missing.txt"))));
}

void TestPlatform::writeAtomically()
{
    TestEnv env;
    const QString path = env.writeFile(QStringLiteral("doc.txt"), "old");
    files::writeAtomically(path, "new\r\ntext\n");
    QCOMPARE(TestEnv::readFile(path), QByteArray("new\r\ntext\n"));

    // The temporary file sits beside the target with a suffix; a name with
    // no room for that suffix makes the write fail for any user, root
    // included, while the old file stays as it was.
    const QString longName = env.writeFile(QString(250, QLatin1Char('n')), "old content");
    QVERIFY_THROWS_EXCEPTION(EBrewpadError, files::writeAtomically(longName, "replacement"));
    QCOMPARE(TestEnv::readFile(longName), QByteArray("old content"));

    QDir(env.dir()).mkdir(QStringLiteral("sub"));
    QVERIFY_THROWS_EXCEPTION(EBrewpadError,
                             files::writeAtomically(env.path(QStringLiteral("sub")), "x"));
    QVERIFY(files::isDirectory(env.path(QStringLiteral("sub"))));

    // Nothing but the two files and the directory is left behind.
    QCOMPARE(QDir(env.dir()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).size(), 3);
}

void TestPlatform::qtNameFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("expected");

    QTest::newRow("patterns listed with commas") << "Html files (*.htm, *.html)|*.htm;*.html"
                                                 << "Html files (*.htm *.html)";
    QTest::newRow("several filters") << "Java files (*.java)|*.java|All files (*.*)|*.*"
                                     << "Java files (*.java);;All files (*.*)";
    QTest::newRow("description without patterns") << "Text|*.txt"
                                                  << "Text (*.txt)";
    QTest::newRow("empty") << ""
                           << "";
}

void TestPlatform::qtNameFilters()
{
    QFETCH(QString, filter);
    QFETCH(QString, expected);
    QCOMPARE(bp::qtNameFilters(filter), expected);
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "tst_platform.moc"
