#include "model/colortext.h"
#include "model/settings.h"
#include "platform/errors.h"
#include "platform/fileservices.h"
#include "support/testenv.h"

#include <QPalette>
#include <QtTest>

#include <tuple>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace bp;
using bp::test::TestEnv;

namespace {

// Store entries given as "key=value|key=value...".
QMap<QString, QString> entries(const QString& list)
{
    QMap<QString, QString> map;
    for (const QString& entry : list.split('|', Qt::SkipEmptyParts))
        map[entry.section('=', 0, 0)] = entry.section('=', 1);
    return map;
}

void store(const TestEnv& env, const QString& list)
{
    QSettings raw(env.storeFile(), QSettings::IniFormat);
    for (const auto& [key, value] : entries(list).asKeyValueRange())
        raw.setValue(key, value);
}

QMap<QString, QString> stored(const TestEnv& env)
{
    const QSettings raw(env.storeFile(), QSettings::IniFormat);
    QMap<QString, QString> map;
    for (const QString& key : raw.allKeys())
        map[key] = raw.value(key).toString();
    return map;
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
    QStringList values{s.JavaCompiler, s.WebBrowser, s.Font.Name, n(s.Font.Size)};
    values << ColorToString(s.Font.Color) << n(s.TabSet) << ColorToString(s.EditorColor)
           << n(s.UseDDE) + n(s.AutoIndent) + n(s.ShowDocTabs);
    return values.join('|');
}

const QString kDefaults = "||MS Sans Serif|8|clBlack|4|clWindow|111";

// A program file in env: a script its owner may run.
QString program(const TestEnv& env, const QString& name, bool executable = true)
{
    const QString path = env.writeFile(name, "#!/bin/sh\nexit 0\n");
    if (executable)
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
    return path;
}

// Keeps every file this process writes below a few bytes while it lives, as a full disk
// would, also for root. Writing past the limit fails instead of raising a signal.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &FOld);
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = FOld;
        limit.rlim_cur = bytes;
        FSet = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }
    bool isSet() const { return FSet; }

private:
    rlimit FOld{};
    void (*FOldHandler)(int) = nullptr;
    bool FSet = false;
};

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void colorText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<uint>("value");      // 1: any
        QTest::addColumn<QString>("written"); // empty: the text is refused
        const auto row = [](const char* text, uint value, const char* written) {
            QTest::addRow("%s", *text ? text : "empty")
                << QString(text) << value << QString(written);
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
        // Every name reads back as itself, so no two share a value.
        const QString names =
            "clBlack clMaroon clGreen clOlive clNavy clPurple clTeal clGray clSilver clRed clLime "
            "clYellow clBlue clFuchsia clAqua clWhite clMoneyGreen clSkyBlue clCream clMedGray "
            "clActiveBorder clActiveCaption clAppWorkSpace clBackground clBtnFace clBtnHighlight "
            "clBtnShadow clBtnText clCaptionText clDefault clGradientActiveCaption "
            "clGradientInactiveCaption clGrayText clHighlight clHighlightText clInactiveBorder "
            "clInactiveCaption clInactiveCaptionText clInfoBk clInfoText clMenu clMenuText clNone "
            "clScrollBar cl3DDkShadow cl3DLight clWindow clWindowFrame clWindowText";
        for (const QString& name : names.split(' '))
            QTest::addRow("name %s", qPrintable(name)) << name << 1u << name;
    }
    void colorText()
    {
        QFETCH(QString, text);
        QFETCH(uint, value);
        QFETCH(QString, written);
        const auto color = StringToColor(text);
        QCOMPARE(color.has_value(), !written.isEmpty());
        if (color) {
            QCOMPARE(value == 1 ? 1u : uint(*color), value);
            QCOMPARE(ColorToString(*color), written);
        }
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

    // Start-up: the settings file, the store read and saved back, the settings file written again.
    void startUp_data()
    {
        QTest::addColumn<QString>("before");   // store entries
        QTest::addColumn<QByteArray>("file");  // null: no settings file
        QTest::addColumn<QString>("settings"); // as summary() gives them
        QTest::addColumn<QString>("after");    // store entries expected afterwards
        QTest::newRow("clean store")
            << QString() << QByteArray() << kDefaults
            << "Display/LastX=0|Display/LastY=0|Display/LastWindowState=0|Display/LastWidth=0|"
               "Display/LastHeight=0|Display/ShowDocTabs=1|"
               "Display/Font/FontName=MS Sans Serif|Display/Font/FontSize=8|"
               "Display/Font/FontColor=clBlack|Editor/TabSet=4|Editor/AutoIndent=1|"
               "Editor/Color=clWindow|Editor/LastFileType=1|JavaCompiler/Default=|"
               "WebBrowser/Default=|WebBrowser/UseDDE=1|LastFiles/Projects=|LastFiles/Documents=";
        QTest::newRow("store only")
            << "Editor/TabSet=-1|Editor/Color=$00123456|Editor/AutoIndent=0|Display/ShowDocTabs=0|"
               "Display/Font/FontName=Courier New|Display/Font/FontSize=11|"
               "Display/Font/FontColor=clnavy|WebBrowser/Default=/usr/bin/firefox|"
               "WebBrowser/UseDDE=0|JavaCompiler/Default=/jdk/bin/javac|"
               "LastFiles/Documents=/a/x.java\r\n/b/y.html"
            << QByteArray()
            << "/jdk/bin/javac|/usr/bin/firefox|Courier New|11|clNavy|-1|$00123456|000"
            << "Display/Font/FontColor=clNavy|Display/ShowDocTabs=0|"
               "LastFiles/Documents=/a/x.java\r\n/b/y.html\r\n|LastFiles/Projects=";
        // The window's size is kept beside its position; one that is no number reads as none.
        QTest::newRow("window size")
            << "Display/LastWidth=900|Display/LastHeight=tall" << QByteArray() << kDefaults
            << "Display/LastWidth=900|Display/LastHeight=0";
        QTest::newRow("recent lists cut to five")
            << "LastFiles/Projects=1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7|LastFiles/Documents=a\r\nb"
            << QByteArray() << kDefaults
            << "LastFiles/Projects=1\r\n2\r\n3\r\n4\r\n5\r\n|LastFiles/Documents=a\r\nb\r\n";
        QTest::newRow("wrong kinds")
            << "Display/LastX=left|Display/LastY= 33|Display/ShowDocTabs=yes|"
               "Display/Font/FontSize=big|Display/Font/FontColor=clPink|Editor/TabSet=-129|"
               "Editor/Color=$123456789|WebBrowser/UseDDE="
            << QByteArray() << kDefaults
            << "Display/LastX=0|Display/LastY=33|Editor/TabSet=4|Editor/Color=clWindow|"
               "Display/ShowDocTabs=1|WebBrowser/UseDDE=1";
        // What only the store holds is still read from it.
        QTest::newRow("settings file wins")
            << "Editor/TabSet=2|Display/Font/FontName=Store Font|WebBrowser/Default=/s/browser|"
               "JavaCompiler/Default=/s/javac|Display/LastX=100|Editor/LastFileType=3"
            << ini("/f/javac|/f/browser|File Font|10|clRed|8|clYellow|0|0|0")
            << "/f/javac|/f/browser|File Font|10|clRed|8|clYellow|000"
            << "Display/LastX=100|Editor/LastFileType=3|Editor/TabSet=8|"
               "WebBrowser/Default=/f/browser|JavaCompiler/Default=/f/javac";
        // Only the lines the file has, and can read, win; the store keeps the rest.
        const QString held = "Editor/TabSet=2|Display/Font/FontName=Store Font|"
                             "Display/Font/FontSize=11|WebBrowser/Default=/s/browser|"
                             "JavaCompiler/Default=/s/javac|WebBrowser/UseDDE=0";
        QTest::newRow("short settings file")
            << held << ini("/f/javac|/f/browser|File Font")
            << "/f/javac|/f/browser|File Font|11|clBlack|2|clWindow|011"
            << "Editor/TabSet=2|Display/Font/FontName=File Font|Display/Font/FontSize=11|"
               "WebBrowser/Default=/f/browser|WebBrowser/UseDDE=0|JavaCompiler/Default=/f/javac";
        QTest::newRow("empty settings file")
            << held << QByteArray("") << "/s/javac|/s/browser|Store Font|11|clBlack|2|clWindow|011"
            << held;
        QTest::newRow("unreadable lines")
            << "Display/Font/FontSize=11|Editor/TabSet=2" << ini("c|b|F|big|clRed|tab")
            << "c|b|F|11|clRed|2|clWindow|111"
            << "Display/Font/FontSize=11|Editor/TabSet=2";
        // Settings files alone, read over an empty store.
        const auto file = [](const char* tag, const QByteArray& bytes, const QString& settings) {
            QTest::newRow(tag) << QString() << bytes << settings << QString();
        };
        file("complete", ini("/my jdk/javac|f\xc3\xafrefox|F|9|clRed|127|$00000001|0|-1|0"),
             "/my jdk/javac|f\u00efrefox|F|9|clRed|127|$00000001|010");
        file("empty", "", kDefaults);
        file("garbage", ini("c|b|F|nine|pink|tab|$|maybe|yes|"), "c|b|F|8|clBlack|4|clWindow|111");
        file("tab set too large", ini("|||8|0|128|0|0|0|0"), "|||8|clBlack|4|clBlack|000");
        file("boolean words and numbers", ini("||F|8|0|0|0|TRUE|fAlSe|2"),
             "||F|8|clBlack|0|clBlack|101");
        file("LF and lines after the tenth", ini("c|b|F|9|255|-128|clWindowText|0|-1|0|x|y", "\n"),
             "c|b|F|9|clRed|-128|clWindowText|010");
        file("CR and no final break", ini("c|b|F|9|clRed|2|clRed|0|0", "\r") + "-1",
             "c|b|F|9|clRed|2|clRed|001");
        file("Latin-1 path", "/j\xe4va/javac\r\n", "/j\u00e4va/javac" + kDefaults);
    }
    void startUp()
    {
        QFETCH(QString, before);
        QFETCH(QByteArray, file);
        QFETCH(QString, settings);
        QFETCH(QString, after);
        TestEnv env;
        store(env, before);
        if (!file.isNull())
            env.writeFile(kSettingsFileName, file);
        // Values the file does not give fall back to defaults, not to what was held before.
        TSettings s;
        s.TabSet = 1;
        s.EditorColor = clWhite;
        s.UseDDE = s.AutoIndent = s.ShowDocTabs = false;
        TWindowValues window;
        QCOMPARE(ReadSettingsFile(s), !file.isNull());
        RegistryPass(TRegistryPassMode::Load, s, window);
        // Only a save puts the compiler into the store.
        QCOMPARE(stored(env).value("JavaCompiler/Default"),
                 entries(before).value("JavaCompiler/Default"));
        RegistryPass(TRegistryPassMode::Save, s, window);
        QCOMPARE(summary(s), settings);
        const QMap<QString, QString> now = stored(env);
        QCOMPARE(now.size(), 18); // every value present, nothing else
        for (const auto& [key, value] : entries(after).asKeyValueRange())
            QCOMPARE(key + '=' + now.value(key), key + '=' + value);
        // Written back, every value is in its place and form, in UTF-8 with CR LF.
        QStringList values = settings.split('|');
        for (const QChar flag : values.takeLast())
            values << (flag == '1' ? "-1" : "0");
        WriteSettingsFile(s);
        QCOMPARE(TestEnv::readFile(kSettingsFileName), ini(values.join('|').toUtf8()));
        QCOMPARE(QDir(env.dir()).entryList(QDir::Files), QStringList{kSettingsFileName});
    }

    void javaInterpreter()
    {
        TestEnv env;
        const QString compiler = env.writeFile("jdk/bin/javac" + files::exeSuffix(), "");
        QCOMPARE(DeriveJavaInterpreter(compiler), QString()); // tst_compile finds a real one
        const QString interpreter = env.writeFile("jdk/bin/java" + files::exeSuffix(), "");
        // Loading derives it from whichever of the store and the settings file gave the compiler.
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

    void findJavaCompiler_data()
    {
        // JAVA_HOME: "" unset, "jdk" a JDK with an executable javac, "no javac" a folder
        // without one, "not executable" a javac nobody may run.
        QTest::addColumn<QString>("javaHome");
        QTest::addColumn<bool>("onPath"); // PATH holds a link javac -> jdk2/bin/javac
        QTest::addColumn<QString>("found"); // "home", "path" or "" for none
        QTest::newRow("JAVA_HOME") << "jdk" << true << "home";
        QTest::newRow("PATH, its link resolved") << "" << true << "path";
        QTest::newRow("neither") << "" << false << "";
        QTest::newRow("JAVA_HOME without javac falls back to PATH") << "no javac" << true << "path";
        QTest::newRow("JAVA_HOME's javac not executable") << "not executable" << true << "path";
        QTest::newRow("JAVA_HOME without javac, none on PATH") << "no javac" << false << "";
    }
    void findJavaCompiler()
    {
        QFETCH(QString, javaHome);
        QFETCH(bool, onPath);
        QFETCH(QString, found);
        TestEnv env;
        const QString exe = files::exeSuffix();
        const QString homeJavac = program(env, "jdk/bin/javac" + exe);
        program(env, "jdk/bin/java" + exe);
        program(env, "not executable/bin/javac" + exe, false);
        QDir().mkpath(env.path("no javac/bin"));
        const QString pathJavac = program(env, "jdk2/bin/javac" + exe);
        const QString pathJava = program(env, "jdk2/bin/java" + exe);
        QDir().mkpath(env.path("usr/bin"));
        QDir().mkpath(env.path("empty"));
        if (onPath)
            QVERIFY(QFile::link(pathJavac, env.path("usr/bin/javac" + exe)));

        QProcessEnvironment environment;
        if (!javaHome.isEmpty())
            environment.insert("JAVA_HOME", env.path(javaHome));
        environment.insert("PATH", env.path("empty") + QDir::listSeparator() + env.path("usr/bin"));
        const QString expected = found == "home" ? homeJavac : found == "path" ? pathJavac : "";
        QCOMPARE(FindJavaCompiler(environment), expected);

        // A start that names no compiler takes it, with the interpreter beside it.
        TSettings settings;
        QCOMPARE(FindJavaToolsWhenUnset(settings, environment), !found.isEmpty());
        QCOMPARE(settings.JavaCompiler, expected);
        QCOMPARE(settings.JavaInterpreter, found == "home" ? env.path("jdk/bin/java" + exe)
                                           : found == "path" ? pathJava
                                                             : QString());
        // A configured compiler stays, even one that is missing.
        settings.JavaCompiler = "/configured/javac";
        settings.JavaInterpreter.clear();
        QVERIFY(!FindJavaToolsWhenUnset(settings, environment));
        QCOMPARE(settings.JavaCompiler, QStringLiteral("/configured/javac"));
        QCOMPARE(settings.JavaInterpreter, QString());
    }

    // A settings file others may change, or another user's, chooses no program: it is not
    // read, and the caller learns why.
    void othersSettingsFileIsIgnored()
    {
        TestEnv env;
        const QString path = env.writeFile(kSettingsFileName, ini("/elsewhere/javac"));
        const QByteArray native = QFile::encodeName(path);
        const QString why = "brewpad.ini ignored: it is another user's, or others may change it.";
        // Others may write; a group not the user's own may write; another user's.
        const uid_t me = ::geteuid();
        const gid_t myGroup = ::getegid();
        for (const auto& [mode, owner, group] :
             {std::tuple{0666, me, myGroup}, {0664, me, gid_t(65534)}, {0644, uid_t(65534), myGroup}}) {
            QCOMPARE(::chmod(native.constData(), mode_t(mode)), 0);
            if (::chown(native.constData(), owner, group) != 0)
                QSKIP("cannot give the file to another user or group here");
            TSettings settings;
            QString ignored;
            QVERIFY(ReadSettingsFile(settings, &ignored));
            QCOMPARE(settings.JavaCompiler, QString());
            QCOMPARE(settings.FileLines, 0u);
            QCOMPARE(ignored, why);
        }
        // The user's own file, writable by the user's own group, is read.
        QCOMPARE(::chown(native.constData(), me, myGroup), 0);
        QCOMPARE(::chmod(native.constData(), 0664), 0);
        TSettings settings;
        QString ignored;
        QVERIFY(ReadSettingsFile(settings, &ignored));
        QCOMPARE(settings.JavaCompiler, QStringLiteral("/elsewhere/javac"));
        QCOMPARE(ignored, QString());
    }

    // A write that fails midway never costs the old file: it is replaced whole or not at all.
    void failedWriteKeepsOldFile()
    {
        TestEnv env;
        const QByteArray old = ini("/old/javac|/old/browser|Old Font|9|clRed|2|clWindow|0|0|0");
        env.writeFile(kSettingsFileName, old);
        TSettings s;
        s.JavaCompiler = QString(200, 'j');
        bool threw = false;
        {
            FileSizeLimit limit(16);
            QVERIFY(limit.isSet());
            try {
                WriteSettingsFile(s);
            } catch (const EBrewpadError&) {
                threw = true;
            }
        }
        QVERIFY(threw);
        QCOMPARE(TestEnv::readFile(kSettingsFileName), old);
        QCOMPARE(QDir(env.dir()).entryList(QDir::Files), QStringList{kSettingsFileName});
        // Without the limit the same write replaces it.
        WriteSettingsFile(s);
        QVERIFY(TestEnv::readFile(kSettingsFileName).startsWith(s.JavaCompiler.toUtf8() + "\r\n"));
    }

    void writeFailureKeepsOldFile()
    {
        TestEnv env; // a directory in the file's place cannot be replaced, not even by root
        env.writeFile(kSettingsFileName + "/keep", "kept");
        QVERIFY_THROWS_EXCEPTION(EBrewpadError, WriteSettingsFile(TSettings()));
        QCOMPARE(TestEnv::readFile(env.path(kSettingsFileName + "/keep")), QByteArray("kept"));
        QCOMPARE(QDir(env.dir()).entryList(QDir::Files), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
