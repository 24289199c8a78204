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

// Writes "key=value|key=value..." straight into the store.
void store(const TestEnv& env, const QString& entries)
{
    QSettings raw(env.storeFile(), QSettings::IniFormat);
    for (const QString& entry : entries.split('|'))
        raw.setValue(entry.section('=', 0, 0), entry.section('=', 1));
}

QString stored(const TestEnv& env, const QString& key)
{
    return QSettings(env.storeFile(), QSettings::IniFormat).value(key).toString();
}

// Settings-file bytes from lines separated by '|'.
QByteArray ini(const QByteArray& lines, const QByteArray& eol = "\r\n")
{
    return lines.split('|').join(eol) + eol;
}

// The ten values of the settings file in its order, booleans as 0/1 in one field.
QString summary(const TSettings& s)
{
    const auto n = [](int v) { return QString::number(v); };
    QStringList values;
    values << s.JavaCompiler << s.WebBrowser << s.Font.Name << n(s.Font.Size)
           << ColorToString(s.Font.Color) << n(s.TabSet) << ColorToString(s.EditorColor)
           << n(s.UseDDE) + n(s.AutoIndent) + n(s.ShowDocTabs);
    return values.join('|');
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void colorText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<uint>("value");
        QTest::addColumn<QString>("written"); // empty: the text is refused
        const auto row = [](const char* text, uint value, const char* written) {
            QTest::newRow(*text ? text : "empty") << QString(text) << value << QString(written);
        };
        row("clMoneyGreen", 0x00C0DCC0u, "clMoneyGreen");
        row("clSkyBlue", 0x00F0CAA6u, "clSkyBlue");
        row("clNone", 0x1FFFFFFFu, "clNone");
        row("clGradientInactiveCaption", 0x8000001Cu, "clGradientInactiveCaption");
        row("CLWINDOWTEXT", 0x80000008u, "clWindowText");
        row("$abcdef", 0x00ABCDEFu, "$00ABCDEF");
        row("$FF", 0x000000FFu, "clRed");
        row("1193046", 0x00123456u, "$00123456");
        row("-2147483643", 0x80000005u, "clWindow");
        row(" clRed ", 0x000000FFu, "clRed");
        for (const char* bad : {"2147483648", "$123456789", "$", "$12G", "0x10", "clPink", ""})
            row(bad, 0, "");
    }
    void colorText()
    {
        QFETCH(QString, text);
        QFETCH(uint, value);
        QFETCH(QString, written);
        const auto color = StringToColor(text);
        QCOMPARE(color.has_value(), !written.isEmpty());
        if (color) {
            QCOMPARE(uint(*color), value);
            QCOMPARE(ColorToString(*color), written);
        }
    }

    void everyColorNameRoundTrips()
    {
        const QStringList names =
            QStringLiteral(
                "clBlack clMaroon clGreen clOlive clNavy clPurple clTeal clGray clSilver clRed "
                "clLime clYellow clBlue clFuchsia clAqua clWhite clMoneyGreen clSkyBlue clCream "
                "clMedGray clActiveBorder clActiveCaption clAppWorkSpace clBackground clBtnFace "
                "clBtnHighlight clBtnShadow clBtnText clCaptionText clDefault "
                "clGradientActiveCaption clGradientInactiveCaption clGrayText clHighlight "
                "clHighlightText clInactiveBorder clInactiveCaption clInactiveCaptionText clInfoBk "
                "clInfoText clMenu clMenuText clNone clScrollBar cl3DDkShadow cl3DLight clWindow "
                "clWindowFrame clWindowText")
                .split(' ');
        QSet<TColor> values;
        for (const QString& name : names) {
            const auto color = StringToColor(name);
            QVERIFY2(color, qPrintable(name));
            QCOMPARE(ColorToString(*color), name);
            values.insert(*color);
        }
        QCOMPARE(values.size(), 49);
    }

    void colorToQColor()
    {
        QPalette palette;
        palette.setColor(QPalette::Base, QColor(1, 1, 1));
        palette.setColor(QPalette::Window, QColor(5, 5, 5));
        QCOMPARE(ColorToQColor(0x00123456, palette), QColor(0x56, 0x34, 0x12));
        QCOMPARE(ColorToQColor(clWindow, palette), QColor(1, 1, 1));
        QCOMPARE(ColorToQColor(TColor(0x80000019u), palette), QColor(5, 5, 5)); // no such index
        QCOMPARE(ColorToQColor(clNone, palette).alpha(), 0);
        QVERIFY(!ColorToQColor(clDefault, palette).isValid());
        QCOMPARE(QColorToColor(QColor(0x56, 0x34, 0x12)), TColor(0x00123456));
        QCOMPARE(QColorToColor(QColor()), clDefault);
    }

    void firstStart()
    {
        TestEnv env;
        TSettings settings;
        TWindowValues window;
        QVERIFY(!ReadSettingsFile(settings));
        startUp(settings, window);

        QStringList expected =
            QStringLiteral(
                "Display/LastX=0|Display/LastY=0|Display/LastWindowState=0|Display/ShowDocTabs=1|"
                "Display/Font/FontName=MS Sans Serif|Display/Font/FontSize=8|"
                "Display/Font/FontColor=clBlack|Editor/TabSet=4|Editor/AutoIndent=1|"
                "Editor/Color=clWindow|Editor/LastFileType=1|JavaCompiler/Default=|"
                "WebBrowser/Default=|WebBrowser/UseDDE=1|LastFiles/Projects=|LastFiles/Documents=")
                .split('|');
        QStringList actual;
        const QSettings raw(env.storeFile(), QSettings::IniFormat);
        for (const QString& key : raw.allKeys())
            actual << key + '=' + raw.value(key).toString();
        actual.sort();
        expected.sort();
        QCOMPARE(actual, expected);
        QVERIFY(settings.JavaInterpreter.isEmpty());
    }

    void storeWithoutFile()
    {
        TestEnv env;
        store(env, "Editor/TabSet=-1|Editor/Color=$00123456|Editor/AutoIndent=0|"
                   "Display/ShowDocTabs=0|Display/Font/FontName=Courier New|"
                   "Display/Font/FontSize=11|Display/Font/FontColor=clnavy|"
                   "WebBrowser/Default=/usr/bin/firefox|WebBrowser/UseDDE=0|"
                   "JavaCompiler/Default=/jdk/bin/javac");
        TSettings settings;
        TWindowValues window;
        startUp(settings, window);
        QCOMPARE(summary(settings),
                 QString("/jdk/bin/javac|/usr/bin/firefox|Courier New|11|clNavy|-1|$00123456|000"));
        QCOMPARE(stored(env, "Display/Font/FontColor"), QString("clNavy"));
    }

    void settingsFileWins()
    {
        TestEnv env;
        store(env, "Editor/TabSet=2|Display/Font/FontName=Store Font|WebBrowser/Default=/s/browser|"
                   "JavaCompiler/Default=/s/javac|Display/LastX=100|Editor/LastFileType=3");
        env.writeFile(kSettingsFileName,
                      ini("/f/javac|/f/browser|File Font|10|clRed|8|clYellow|0|0|0"));
        TSettings settings;
        TWindowValues window;
        QVERIFY(ReadSettingsFile(settings));
        RegistryPass(TRegistryPassMode::Load, settings, window);
        // Loading copies the file's values into the store, but not the compiler.
        QCOMPARE(stored(env, "Editor/TabSet"), QString("8"));
        QCOMPARE(stored(env, "JavaCompiler/Default"), QString("/s/javac"));
        RegistryPass(TRegistryPassMode::Save, settings, window);

        QCOMPARE(summary(settings),
                 QString("/f/javac|/f/browser|File Font|10|clRed|8|clYellow|000"));
        // What only the store holds is still read from it.
        QCOMPARE(window.LastX, 100);
        QCOMPARE(window.LastFileType, 3);
        QCOMPARE(stored(env, "WebBrowser/Default"), QString("/f/browser"));
        QCOMPARE(stored(env, "JavaCompiler/Default"), QString("/f/javac"));
    }

    void recentLists()
    {
        TestEnv env;
        TSettings settings;
        TWindowValues window;
        window.RecentDocuments = {"/a/x.java", "/b/y.html"};
        RegistryPass(TRegistryPassMode::Save, settings, window);
        QCOMPARE(stored(env, "LastFiles/Documents"), QString("/a/x.java\r\n/b/y.html\r\n"));
        QCOMPARE(stored(env, "LastFiles/Projects"), QString());

        TWindowValues loaded;
        loaded.RecentProjects = {"stale"};
        RegistryPass(TRegistryPassMode::Load, settings, loaded);
        QCOMPARE(loaded.RecentDocuments, window.RecentDocuments);
        QCOMPARE(loaded.RecentProjects, QStringList());
    }

    void javaInterpreter()
    {
        TestEnv env;
        const QString compiler = env.writeFile("jdk/bin/javac" + files::exeSuffix(), "");
        QCOMPARE(DeriveJavaInterpreter(compiler), QString());
        const QString interpreter = env.writeFile("jdk/bin/java" + files::exeSuffix(), "");
        QCOMPARE(DeriveJavaInterpreter(compiler), interpreter);
        QCOMPARE(DeriveJavaInterpreter(QString()), QString());
        QCOMPARE(DeriveJavaInterpreter("jc"), QString());

        // Loading derives it from whichever store gave the compiler.
        store(env, "JavaCompiler/Default=" + compiler);
        TSettings settings;
        TWindowValues window;
        RegistryPass(TRegistryPassMode::Load, settings, window);
        QCOMPARE(settings.JavaInterpreter, interpreter);
        env.writeFile(kSettingsFileName, ini("/nowhere/javac"));
        ReadSettingsFile(settings);
        RegistryPass(TRegistryPassMode::Load, settings, window);
        QCOMPARE(settings.JavaInterpreter, QString());
    }

    void storeValuesOfWrongKind()
    {
        TestEnv env;
        store(env, "Display/LastX=left|Display/LastY= 33|Display/ShowDocTabs=yes|"
                   "Display/Font/FontSize=big|Display/Font/FontColor=clPink|Editor/TabSet=300|"
                   "Editor/Color=$123456789|WebBrowser/UseDDE=");
        TSettings settings;
        TWindowValues window;
        startUp(settings, window);
        QCOMPARE(window.LastX, 0);
        QCOMPARE(window.LastY, 33);
        QCOMPARE(summary(settings), summary(TSettings()));
        // The save that follows start-up repairs the store.
        QCOMPARE(stored(env, "Editor/TabSet"), QString("4"));
        QCOMPARE(stored(env, "Editor/Color"), QString("clWindow"));
        QCOMPARE(stored(env, "Display/LastX"), QString("0"));

        store(env, "Editor/TabSet=-129");
        settings.TabSet = 5;
        RegistryPass(TRegistryPassMode::Load, settings, window);
        QCOMPARE(settings.TabSet, qint8(5));
    }

    void settingsFileRoundTrip()
    {
        TestEnv env;
        const QByteArray file = ini("/opt/my jdk/bin/javac|/usr/bin/fïrefox|Courier New|12|"
                                    "$00123456|127|clInfoBk|0|-1|0");
        env.writeFile(kSettingsFileName, file);
        // Every value read is written back in its place and form.
        TSettings settings;
        QVERIFY(ReadSettingsFile(settings));
        settings.TabSet = -128;
        WriteSettingsFile(settings);
        QCOMPARE(TestEnv::readFile(env.path(kSettingsFileName)),
                 QByteArray(file).replace("\r\n127\r\n", "\r\n-128\r\n"));
        QCOMPARE(QDir(env.dir()).entryList(QDir::Files), QStringList{kSettingsFileName});
    }

    void readSettingsFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected"); // as summary() gives it
        const auto row = [](const char* name, const QByteArray& file, const QString& expected) {
            QTest::newRow(name) << file << expected;
        };
        const QString defaults = "|MS Sans Serif|8|clBlack|4|clWindow|111";
        row("complete", ini("c|b|F|9|clRed|127|$00000001|0|0|0"),
            "c|b|F|9|clRed|127|$00000001|000");
        row("empty", QByteArray(), "|" + defaults);
        row("short", ini("c|b|F|9"), "c|b|F|9|clBlack|4|clWindow|111");
        row("garbage", ini("c|b|F|nine|pink|tab|$|maybe|yes|"), "c|b|F|8|clBlack|4|clWindow|111");
        row("tab set too large", ini("|||8|0|128|0|0|0|0"), "|||8|clBlack|4|clBlack|000");
        row("boolean words and numbers", ini("||F|8|0|0|0|TRUE|fAlSe|2"),
            "||F|8|clBlack|0|clBlack|101");
        row("LF and lines after the tenth", ini("c|b|F|9|255|-3|clWindowText|0|-1|0|x|y", "\n"),
            "c|b|F|9|clRed|-3|clWindowText|010");
        row("CR and no final break", ini("c|b|F|9|clRed|2|clRed|0|0", "\r") + "-1",
            "c|b|F|9|clRed|2|clRed|001");
        row("Latin-1 path", "/j\xe4va/javac\r\n", "/j\u00e4va/javac|" + defaults);
    }
    void readSettingsFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        TestEnv env;
        env.writeFile(kSettingsFileName, file);
        // Values the file does not give fall back to their defaults, not to
        // what the settings held before.
        TSettings settings;
        settings.TabSet = 1;
        settings.EditorColor = clWhite;
        settings.UseDDE = settings.AutoIndent = settings.ShowDocTabs = false;
        QVERIFY(ReadSettingsFile(settings));
        QCOMPARE(summary(settings), expected);
    }

    void writeFailureKeepsOldFile()
    {
        TestEnv env;
        // A directory in the file's place cannot be replaced, not even by root.
        env.writeFile(kSettingsFileName + "/keep", "kept");
        TSettings settings;
        QVERIFY_THROWS_EXCEPTION(EBrewpadError, WriteSettingsFile(settings));
        QCOMPARE(TestEnv::readFile(env.path(kSettingsFileName + "/keep")), QByteArray("kept"));
        QCOMPARE(QDir(env.dir()).entryList(QDir::Files), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
