#include "model/colortext.h"
#include "model/settings.h"
#include "platform/errors.h"
#include "platform/fileservices.h"
#include "support/testenv.h"

#include <QDir>
#include <QPalette>
#include <QSet>
#include <QSettings>
#include <QtTest>

using namespace bp;
using bp::test::TestEnv;

namespace {


// The start-up sequence of the main window, without the browser lookup.
void startUp(TSettings& settings, TWindowValues& window)
{
    ReadSettingsFile(settings);
    RegistryPass(TRegistryPassMode::Load, settings, window);
    RegistryPass(TRegistryPassMode::Save, settings, window);
}

QByteArray settingsFile(const QList<QByteArray>& lines, const QByteArray& eol = "\r\n")
{
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + eol;
    return out;
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void colorText_data();
    void colorText();
    void everyColorNameRoundTrips();
    void colorToQColor();

    void firstStart();
    void loadCreatesMissingValuesOnly();
    void storeWithoutFile();
    void settingsFileWins();
    void recentLists();
    void splitListValue_data();
    void splitListValue();
    void javaInterpreter();
    void storeValuesOfWrongKind();

    void settingsFileRoundTrip();
    void readSettingsFile_data();
    void readSettingsFile();
    void writeFailureKeepsOldFile();
};

void TestSettings::colorText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<uint>("value");
    QTest::addColumn<QString>("written");

    QTest::newRow("palette name") << "clMaroon" << true << 0x00000080u << "clMaroon";
    QTest::newRow("money green") << "clMoneyGreen" << true << 0x00C0DCC0u << "clMoneyGreen";
    QTest::newRow("sky blue") << "clSkyBlue" << true << 0x00F0CAA6u << "clSkyBlue";
    QTest::newRow("cream") << "clCream" << true << 0x00F0FBFFu << "clCream";
    QTest::newRow("medium grey") << "clMedGray" << true << 0x00A4A0A0u << "clMedGray";
    QTest::newRow("none") << "clNone" << true << 0x1FFFFFFFu << "clNone";
    QTest::newRow("default") << "clDefault" << true << 0x20000000u << "clDefault";
    QTest::newRow("window") << "clWindow" << true << 0x80000005u << "clWindow";
    QTest::newRow("3D dark shadow") << "cl3DDkShadow" << true << 0x80000015u << "cl3DDkShadow";
    QTest::newRow("info background") << "clInfoBk" << true << 0x80000018u << "clInfoBk";
    QTest::newRow("gradient inactive")
        << "clGradientInactiveCaption" << true << 0x8000001Cu << "clGradientInactiveCaption";
    QTest::newRow("upper case name") << "CLWINDOWTEXT" << true << 0x80000008u << "clWindowText";
    QTest::newRow("hex") << "$00123456" << true << 0x00123456u << "$00123456";
    QTest::newRow("short lower hex") << "$abcdef" << true << 0x00ABCDEFu << "$00ABCDEF";
    QTest::newRow("hex of a name") << "$FF" << true << 0x000000FFu << "clRed";
    QTest::newRow("hex all bits") << "$FFFFFFFF" << true << 0xFFFFFFFFu << "$FFFFFFFF";
    QTest::newRow("decimal") << "1193046" << true << 0x00123456u << "$00123456";
    QTest::newRow("negative decimal") << "-2147483643" << true << 0x80000005u << "clWindow";
    QTest::newRow("minus one") << "-1" << true << 0xFFFFFFFFu << "$FFFFFFFF";
    QTest::newRow("blanks around") << " clRed " << true << 0x000000FFu << "clRed";
    QTest::newRow("decimal too large") << "2147483648" << false << 0u << "";
    QTest::newRow("nine hex digits") << "$123456789" << false << 0u << "";
    QTest::newRow("dollar only") << "$" << false << 0u << "";
    QTest::newRow("bad hex digit") << "$12G" << false << 0u << "";
    QTest::newRow("C hex") << "0x10" << false << 0u << "";
    QTest::newRow("trailing letters") << "12a" << false << 0u << "";
    QTest::newRow("unknown name") << "clPink" << false << 0u << "";
    QTest::newRow("empty") << "" << false << 0u << "";
}

void TestSettings::colorText()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(uint, value);
    QFETCH(QString, written);

    const auto color = StringToColor(text);
    QCOMPARE(color.has_value(), valid);
    if (valid) {
        QCOMPARE(uint(*color), value);
        QCOMPARE(ColorToString(*color), written);
    }
}

void TestSettings::everyColorNameRoundTrips()
{
    const QStringList names =
        QStringLiteral(
            "clBlack clMaroon clGreen clOlive clNavy clPurple clTeal clGray clSilver clRed clLime "
            "clYellow clBlue clFuchsia clAqua clWhite clMoneyGreen clSkyBlue clCream clMedGray "
            "clActiveBorder clActiveCaption clAppWorkSpace clBackground clBtnFace clBtnHighlight "
            "clBtnShadow clBtnText clCaptionText clDefault clGradientActiveCaption "
            "clGradientInactiveCaption clGrayText clHighlight clHighlightText clInactiveBorder "
            "clInactiveCaption clInactiveCaptionText clInfoBk clInfoText clMenu clMenuText clNone "
            "clScrollBar cl3DDkShadow cl3DLight clWindow clWindowFrame clWindowText")
            .split(QLatin1Char(' '));
    QCOMPARE(names.size(), 49);
    QSet<TColor> values;
    for (const QString& name : names) {
        const auto color = StringToColor(name);
        QVERIFY2(color, qPrintable(name));
        QCOMPARE(ColorToString(*color), name);
        values.insert(*color);
    }
    QCOMPARE(values.size(), 49);
}

void TestSettings::colorToQColor()
{
    QPalette palette;
    palette.setColor(QPalette::Base, QColor(1, 1, 1));
    palette.setColor(QPalette::Text, QColor(2, 2, 2));
    palette.setColor(QPalette::Button, QColor(3, 3, 3));
    palette.setColor(QPalette::Highlight, QColor(4, 4, 4));
    palette.setColor(QPalette::Window, QColor(5, 5, 5));

    QCOMPARE(ColorToQColor(0x00123456, palette), QColor(0x56, 0x34, 0x12));
    QCOMPARE(ColorToQColor(clWindow, palette), QColor(1, 1, 1));
    QCOMPARE(ColorToQColor(clWindowText, palette), QColor(2, 2, 2));
    QCOMPARE(ColorToQColor(*StringToColor("clBtnFace"), palette), QColor(3, 3, 3));
    QCOMPARE(ColorToQColor(*StringToColor("clHighlight"), palette), QColor(4, 4, 4));
    QCOMPARE(ColorToQColor(TColor(0x80000019u), palette), QColor(5, 5, 5)); // no such index
    QCOMPARE(ColorToQColor(clNone, palette).alpha(), 0);
    QVERIFY(!ColorToQColor(clDefault, palette).isValid());

    QCOMPARE(QColorToColor(QColor(0x56, 0x34, 0x12)), TColor(0x00123456));
    QCOMPARE(QColorToColor(QColor(Qt::red)), *StringToColor("clRed"));
    QCOMPARE(QColorToColor(QColor()), clDefault);
}

void TestSettings::firstStart()
{
    TestEnv env;
    TSettings settings;
    TWindowValues window;
    QVERIFY(!ReadSettingsFile(settings));
    startUp(settings, window);

    QSettings raw(env.storeFile(), QSettings::IniFormat);
    const QList<std::pair<QString, QString>> expected{
        {"Display/LastX", "0"},
        {"Display/LastY", "0"},
        {"Display/LastWindowState", "0"},
        {"Display/ShowDocTabs", "1"},
        {"Display/Font/FontName", "MS Sans Serif"},
        {"Display/Font/FontSize", "8"},
        {"Display/Font/FontColor", "clBlack"},
        {"Editor/TabSet", "4"},
        {"Editor/AutoIndent", "1"},
        {"Editor/Color", "clWindow"},
        {"Editor/LastFileType", "1"},
        {"JavaCompiler/Default", ""},
        {"WebBrowser/Default", ""},
        {"WebBrowser/UseDDE", "1"},
        {"LastFiles/Projects", ""},
        {"LastFiles/Documents", ""},
    };
    for (const auto& [key, value] : expected) {
        QVERIFY2(raw.contains(key), qPrintable(key));
        QCOMPARE(raw.value(key).toString(), value);
    }
    QCOMPARE(raw.allKeys().size(), expected.size());
    QVERIFY(settings.JavaInterpreter.isEmpty());
}

void TestSettings::loadCreatesMissingValuesOnly()
{
    TestEnv env;
    {
        QSettings raw(env.storeFile(), QSettings::IniFormat);
        raw.setValue("Editor/TabSet", 6);
    }
    TSettings settings;
    TWindowValues window;
    RegistryPass(TRegistryPassMode::Load, settings, window);
    QCOMPARE(settings.TabSet, qint8(6));

    QSettings raw(env.storeFile(), QSettings::IniFormat);
    QCOMPARE(raw.value("Editor/TabSet").toInt(), 6);
    QCOMPARE(raw.value("Display/Font/FontSize").toInt(), 8);
    QCOMPARE(raw.value("WebBrowser/UseDDE").toInt(), 1);
    // The two unnamed values are never created ahead of a save.
    QVERIFY(!raw.contains("JavaCompiler/Default"));
    QVERIFY(!raw.contains("WebBrowser/Default"));
}

void TestSettings::storeWithoutFile()
{
    TestEnv env;
    {
        QSettings raw(env.storeFile(), QSettings::IniFormat);
        raw.setValue("Editor/TabSet", -1);
        raw.setValue("Editor/Color", "$00123456");
        raw.setValue("Editor/AutoIndent", 0);
        raw.setValue("Display/ShowDocTabs", 0);
        raw.setValue("Display/Font/FontName", "Courier New");
        raw.setValue("Display/Font/FontColor", "clnavy");
        raw.setValue("WebBrowser/Default", "/usr/bin/firefox");
        raw.setValue("WebBrowser/UseDDE", 0);
        raw.setValue("JavaCompiler/Default", "/jdk/bin/javac");
    }
    TSettings settings;
    TWindowValues window;
    startUp(settings, window);
    QCOMPARE(settings.TabSet, qint8(-1));
    QCOMPARE(settings.EditorColor, TColor(0x00123456));
    QVERIFY(!settings.AutoIndent);
    QVERIFY(!settings.ShowDocTabs);
    QCOMPARE(settings.Font.Name, QStringLiteral("Courier New"));
    QCOMPARE(settings.Font.Color, *StringToColor("clNavy"));
    QCOMPARE(settings.WebBrowser, QStringLiteral("/usr/bin/firefox"));
    QVERIFY(!settings.UseDDE);
    QCOMPARE(settings.JavaCompiler, QStringLiteral("/jdk/bin/javac"));

    QSettings raw(env.storeFile(), QSettings::IniFormat);
    QCOMPARE(raw.value("Display/Font/FontColor").toString(), QStringLiteral("clNavy"));
}

void TestSettings::settingsFileWins()
{
    TestEnv env;
    {
        QSettings raw(env.storeFile(), QSettings::IniFormat);
        raw.setValue("Editor/TabSet", 2);
        raw.setValue("Display/Font/FontName", "Store Font");
        raw.setValue("WebBrowser/Default", "/store/browser");
        raw.setValue("JavaCompiler/Default", "/store/javac");
        raw.setValue("Display/LastX", 100);
        raw.setValue("Display/LastY", 200);
        raw.setValue("Display/LastWindowState", 2);
        raw.setValue("Editor/LastFileType", 3);
        raw.setValue("LastFiles/Projects", "/p/a.jpr\r\n/p/b.jpr\r\n");
        raw.setValue("LastFiles/Documents", "/d/x.java\r\n");
    }
    env.writeFile(kSettingsFileName, settingsFile({"/file/javac", "/file/browser", "File Font",
                                                   "10", "clRed", "8", "clYellow", "0", "0", "0"}));

    TSettings settings;
    TWindowValues window;
    QVERIFY(ReadSettingsFile(settings));
    RegistryPass(TRegistryPassMode::Load, settings, window);
    {
        // Loading copies the file's values into the store, but not the compiler.
        QSettings raw(env.storeFile(), QSettings::IniFormat);
        QCOMPARE(raw.value("Editor/TabSet").toInt(), 8);
        QCOMPARE(raw.value("JavaCompiler/Default").toString(),
                 QStringLiteral("/store/javac"));
    }
    RegistryPass(TRegistryPassMode::Save, settings, window);

    QCOMPARE(settings.TabSet, qint8(8));
    QCOMPARE(settings.Font.Name, QStringLiteral("File Font"));
    QCOMPARE(settings.Font.Size, 10);
    QCOMPARE(settings.WebBrowser, QStringLiteral("/file/browser"));
    QCOMPARE(settings.JavaCompiler, QStringLiteral("/file/javac"));
    QVERIFY(!settings.UseDDE && !settings.AutoIndent && !settings.ShowDocTabs);

    QCOMPARE(window.LastX, 100);
    QCOMPARE(window.LastY, 200);
    QCOMPARE(window.LastWindowState, 2);
    QCOMPARE(window.LastFileType, 3);
    QCOMPARE(window.RecentProjects, QStringList({"/p/a.jpr", "/p/b.jpr"}));
    QCOMPARE(window.RecentDocuments, QStringList({"/d/x.java"}));

    QSettings raw(env.storeFile(), QSettings::IniFormat);
    QCOMPARE(raw.value("Editor/TabSet").toInt(), 8);
    QCOMPARE(raw.value("Editor/Color").toString(), QStringLiteral("clYellow"));
    QCOMPARE(raw.value("Display/Font/FontName").toString(), QStringLiteral("File Font"));
    QCOMPARE(raw.value("WebBrowser/Default").toString(), QStringLiteral("/file/browser"));
    QCOMPARE(raw.value("JavaCompiler/Default").toString(), QStringLiteral("/file/javac"));
    QCOMPARE(raw.value("WebBrowser/UseDDE").toInt(), 0);
}

void TestSettings::recentLists()
{
    TestEnv env;
    TSettings settings;
    TWindowValues window;
    window.RecentDocuments = {"/a/x.java", "/b/y.html"};
    RegistryPass(TRegistryPassMode::Save, settings, window);
    {
        QSettings raw(env.storeFile(), QSettings::IniFormat);
        QCOMPARE(raw.value("LastFiles/Documents").toString(),
                 QStringLiteral("/a/x.java\r\n/b/y.html\r\n"));
        QCOMPARE(raw.value("LastFiles/Projects").toString(), QString());
    }
    TWindowValues loaded;
    loaded.RecentProjects = {"stale"};
    RegistryPass(TRegistryPassMode::Load, settings, loaded);
    QCOMPARE(loaded.RecentDocuments, window.RecentDocuments);
    QCOMPARE(loaded.RecentProjects, QStringList());
}

void TestSettings::splitListValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("empty") << "" << QStringList();
    QTest::newRow("one line") << "a\r\n" << QStringList{"a"};
    QTest::newRow("no final break") << "a\r\nb" << QStringList{"a", "b"};
    QTest::newRow("mixed breaks") << "a\rb\nc\r\nd\r\n" << QStringList{"a", "b", "c", "d"};
    QTest::newRow("empty line inside") << "a\r\n\r\nb\r\n" << QStringList{"a", "", "b"};
}

void TestSettings::splitListValue()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(SplitListValue(text), lines);
    QCOMPARE(SplitListValue(JoinListValue(lines)), lines);
}

void TestSettings::javaInterpreter()
{
    TestEnv env;
    const QString suffix = files::exeSuffix();
    const QString compiler = env.writeFile("jdk/bin/javac" + suffix, "");
    QCOMPARE(DeriveJavaInterpreter(compiler), QString());
    const QString interpreter = env.writeFile("jdk/bin/java" + suffix, "");
    QCOMPARE(DeriveJavaInterpreter(compiler), interpreter);
    QCOMPARE(DeriveJavaInterpreter(QString()), QString());
    QCOMPARE(DeriveJavaInterpreter("jc"), QString());

    // Loading derives it from whichever store gave the compiler.
    {
        QSettings raw(env.storeFile(), QSettings::IniFormat);
        raw.setValue("JavaCompiler/Default", compiler);
    }
    TSettings settings;
    TWindowValues window;
    RegistryPass(TRegistryPassMode::Load, settings, window);
    QCOMPARE(settings.JavaInterpreter, interpreter);

    env.writeFile(kSettingsFileName, settingsFile({"/nowhere/javac", "", "F", "8", "clBlack", "4",
                                                   "clWindow", "-1", "-1", "-1"}));
    ReadSettingsFile(settings);
    RegistryPass(TRegistryPassMode::Load, settings, window);
    QCOMPARE(settings.JavaInterpreter, QString());
}

void TestSettings::storeValuesOfWrongKind()
{
    TestEnv env;
    {
        QSettings raw(env.storeFile(), QSettings::IniFormat);
        raw.setValue("Display/LastX", "left");
        raw.setValue("Display/LastY", 33);
        raw.setValue("Display/ShowDocTabs", "yes");
        raw.setValue("Display/Font/FontSize", "big");
        raw.setValue("Display/Font/FontColor", "clPink");
        raw.setValue("Editor/TabSet", 300);
        raw.setValue("Editor/Color", "$123456789");
        raw.setValue("Editor/LastFileType", "2");
        raw.setValue("WebBrowser/UseDDE", "");
    }
    TSettings settings;
    TWindowValues window;
    startUp(settings, window);

    const TSettings defaults;
    QCOMPARE(window.LastX, 0);
    QCOMPARE(window.LastY, 33);
    QCOMPARE(window.LastFileType, 2);
    QCOMPARE(settings.ShowDocTabs, defaults.ShowDocTabs);
    QCOMPARE(settings.Font.Size, defaults.Font.Size);
    QCOMPARE(settings.Font.Color, defaults.Font.Color);
    QCOMPARE(settings.TabSet, defaults.TabSet);
    QCOMPARE(settings.EditorColor, defaults.EditorColor);
    QCOMPARE(settings.UseDDE, defaults.UseDDE);

    // The save that follows start-up repairs the store.
    QSettings raw(env.storeFile(), QSettings::IniFormat);
    QCOMPARE(raw.value("Editor/TabSet").toString(), QStringLiteral("4"));
    QCOMPARE(raw.value("Editor/Color").toString(), QStringLiteral("clWindow"));
    QCOMPARE(raw.value("Display/LastX").toString(), QStringLiteral("0"));

    raw.setValue("Editor/TabSet", -129);
    raw.sync();
    settings.TabSet = 5;
    RegistryPass(TRegistryPassMode::Load, settings, window);
    QCOMPARE(settings.TabSet, qint8(5));
}

void TestSettings::settingsFileRoundTrip()
{
    TestEnv env;
    TSettings settings;
    settings.JavaCompiler = QStringLiteral("/opt/my jdk/bin/javac");
    settings.WebBrowser = QStringLiteral("/usr/bin/fïrefox");
    settings.Font = {QStringLiteral("Courier New"), 12, TColor(0x00123456)};
    settings.TabSet = -128;
    settings.EditorColor = *StringToColor("clInfoBk");
    settings.UseDDE = false;
    settings.AutoIndent = true;
    settings.ShowDocTabs = false;
    WriteSettingsFile(settings);

    QCOMPARE(TestEnv::readFile(env.path(kSettingsFileName)),
             QString("/opt/my jdk/bin/javac\r\n/usr/bin/fïrefox\r\nCourier New\r\n12\r\n"
                     "$00123456\r\n-128\r\nclInfoBk\r\n0\r\n-1\r\n0\r\n")
                 .toUtf8());
    QCOMPARE(QDir(env.dir()).entryList(QDir::Files), QStringList{kSettingsFileName});

    // Reading gives back every value: written again, the file is the same.
    const QByteArray written = TestEnv::readFile(env.path(kSettingsFileName));
    TSettings read;
    QVERIFY(ReadSettingsFile(read));
    WriteSettingsFile(read);
    QCOMPARE(TestEnv::readFile(env.path(kSettingsFileName)), written);
}

void TestSettings::readSettingsFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("compiler");
    QTest::addColumn<int>("fontSize");
    QTest::addColumn<QString>("fontColor");
    QTest::addColumn<int>("tabSet");
    QTest::addColumn<QString>("editorColor");
    QTest::addColumn<QString>("booleans"); // UseDDE, AutoIndent, ShowDocTabs as 0/1

    // Every value read from the file differs from its default.
    QTest::newRow("complete") << settingsFile({"c", "b", "F", "9", "clRed", "127", "$00000001", "0",
                                               "0", "0"})
                              << "c" << 9 << "clRed" << 127 << "$00000001"
                              << "000";
    QTest::newRow("empty") << QByteArray() << "" << 8 << "clBlack" << 4 << "clWindow"
                           << "111";
    QTest::newRow("short") << settingsFile({"c", "b", "F", "9"}) << "c" << 9 << "clBlack" << 4
                           << "clWindow"
                           << "111";
    QTest::newRow("garbage") << settingsFile(
                                    {"c", "b", "F", "nine", "pink", "tab", "$", "maybe", "yes", ""})
                             << "c" << 8 << "clBlack" << 4 << "clWindow"
                             << "111";
    QTest::newRow("tab set too large")
        << settingsFile({"", "", "F", "8", "0", "128", "0", "0", "0", "0"}) << "" << 8 << "clBlack"
        << 4 << "clBlack"
        << "000";
    QTest::newRow("tab set too small")
        << settingsFile({"", "", "F", "8", "0", "-129", "0", "0", "0", "0"}) << "" << 8 << "clBlack"
        << 4 << "clBlack"
        << "000";
    QTest::newRow("boolean words and numbers")
        << settingsFile({"", "", "F", "8", "0", "0", "0", "TRUE", "false", "2"}) << "" << 8
        << "clBlack" << 0 << "clBlack"
        << "101";
    QTest::newRow("LF and lines after the tenth")
        << settingsFile({"c", "b", "F", "9", "255", "-3", "clWindowText", "0", "-1", "0", "x", "y"},
                        "\n")
        << "c" << 9 << "clRed" << -3 << "clWindowText"
        << "010";
    QTest::newRow("CR and no final break")
        << settingsFile({"c", "b", "F", "9", "clRed", "2", "clRed", "0", "0"}, "\r") + "-1"
        << "c" << 9 << "clRed" << 2 << "clRed"
        << "001";
    QTest::newRow("Latin-1 path") << QByteArray("/j\xe4va/javac\r\n") << "/j\u00e4va/javac" << 8
                                  << "clBlack" << 4 << "clWindow"
                                  << "111";
}

void TestSettings::readSettingsFile()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, compiler);
    QFETCH(int, fontSize);
    QFETCH(QString, fontColor);
    QFETCH(int, tabSet);
    QFETCH(QString, editorColor);
    QFETCH(QString, booleans);

    TestEnv env;
    env.writeFile(kSettingsFileName, file);
    // Values the file does not give fall back to their defaults, not to
    // what the settings held before.
    TSettings settings;
    settings.TabSet = 1;
    settings.EditorColor = clWhite;
    settings.UseDDE = settings.AutoIndent = settings.ShowDocTabs = false;

    QVERIFY(ReadSettingsFile(settings));
    QCOMPARE(settings.JavaCompiler, compiler);
    QCOMPARE(settings.Font.Size, fontSize);
    QCOMPARE(ColorToString(settings.Font.Color), fontColor);
    QCOMPARE(int(settings.TabSet), tabSet);
    QCOMPARE(ColorToString(settings.EditorColor), editorColor);
    const QString got = QString::number(settings.UseDDE) + QString::number(settings.AutoIndent) +
                        QString::number(settings.ShowDocTabs);
    QCOMPARE(got, booleans);
}

void TestSettings::writeFailureKeepsOldFile()
{
    TestEnv env;
    // A directory in the file's place cannot be replaced, not even by root.
    QVERIFY(QDir(env.dir()).mkdir(kSettingsFileName));
    env.writeFile(kSettingsFileName + "/keep", "kept");
    TSettings settings;
    QVERIFY_THROWS_EXCEPTION(EBrewpadError, WriteSettingsFile(settings));
    QCOMPARE(TestEnv::readFile(env.path(kSettingsFileName + "/keep")), QByteArray("kept"));
    QCOMPARE(QDir(env.dir()).entryList(QDir::Files), QStringList());

    // A current directory that no longer exists takes no file either.
    QDir(env.dir()).mkdir("gone");
    QVERIFY(QDir::setCurrent(env.path("gone")));
    QVERIFY(QDir(env.dir()).rmdir("gone"));
    QVERIFY_THROWS_EXCEPTION(EBrewpadError, WriteSettingsFile(settings));
    QVERIFY(QDir::setCurrent(env.dir()));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
