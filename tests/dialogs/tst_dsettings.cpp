#include "dialogs/dsettings.h"
#include "platform/fileservices.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

#include <functional>

using namespace bp;
using namespace bp::test;

namespace {

// Ways to end a showing of the dialog.
enum Ending { OkButton, CancelButton, Escape, CloseBox };

// Runs exec() on the dialog and, once it shows, the action. A dialog the action
// leaves open is hidden and gives -100, so the test fails instead of hanging.
int execWith(QDialog& dialog, const std::function<void()>& action)
{
    bool leftOpen = false;
    QTimer::singleShot(0, &dialog, [&] {
        action();
        if ((leftOpen = dialog.isVisible()))
            dialog.hide();
    });
    const int r = dialog.exec();
    return leftOpen ? -100 : r;
}

void end(TdlgSettings& d, Ending ending)
{
    switch (ending) {
    case OkButton:
        QTest::mouseClick(d.cmdOK, Qt::LeftButton);
        break;
    case CancelButton:
        QTest::mouseClick(d.cmdCancel, Qt::LeftButton);
        break;
    case Escape:
        QTest::keyClick(&d, Qt::Key_Escape);
        break;
    case CloseBox:
        d.close();
        break;
    }
}

// A program file: executable, so that it could be run.
QString program(const TestEnv& env, const QString& name)
{
    const QString path = env.writeFile(name, "#!/bin/sh\nexit 0\n");
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
    return path;
}

// A fake JDK's bin folder in env with javac and java.
QString fakeJdk(const TestEnv& env, QString* java = nullptr)
{
    const QString javac = program(env, "jdk/bin/javac" + files::exeSuffix());
    const QString j = program(env, "jdk/bin/java" + files::exeSuffix());
    if (java)
        *java = j;
    return javac;
}

TSettings someSettings()
{
    TSettings s;
    s.JavaCompiler = QStringLiteral("/old/javac");
    s.WebBrowser = QStringLiteral("/old/browser");
    s.Font.Name = QStringLiteral("No Such Font Anywhere");
    s.Font.Size = 11;
    s.Font.Color = clBlack;
    s.TabSet = 3;
    s.EditorColor = clWindow;
    s.UseDDE = false;
    s.AutoIndent = true;
    s.ShowDocTabs = false;
    return s;
}

// The settings file's bytes from lines separated by '|'.
QByteArray ini(const QString& lines)
{
    return (lines.split('|').join("\r\n") + "\r\n").toUtf8();
}

// A default-browser lookup that counts its calls.
struct FakeBrowserLookup {
    QString answer;
    int calls = 0;
    std::function<QString()> function()
    {
        return [this] {
            ++calls;
            return answer;
        };
    }
};

} // namespace

class TestDlgSettings : public QObject {
    Q_OBJECT

private slots:
    // The fields show the settings; a font that is not installed selects no name, an
    // installed one is selected; the spins hold their ranges.
    void opensWithTheSettings()
    {
        TestEnv env;
        ScriptedPrompter ask;
        TSettings s = someSettings();
        TdlgSettings d(s, {});
        QCOMPARE(d.windowTitle(), QStringLiteral("Settings"));
        QCOMPARE(d.cmbFontName->currentIndex(), -1);
        QCOMPARE(d.spnFontSize->value(), 11);
        QCOMPARE(d.edtJavac->text(), QStringLiteral("/old/javac"));
        QCOMPARE(d.edtBrowser->text(), QStringLiteral("/old/browser"));
        QCOMPARE(d.spnTabSet->value(), 3);
        QVERIFY(!d.chkDDE->isChecked() && d.chkAutoIndent->isChecked() &&
                !d.chkDocTabs->isChecked());
        QCOMPARE(d.pnlSample->palette().color(QPalette::Window), d.palette().color(QPalette::Base));
        QCOMPARE(d.pnlSample->font().pointSize(), 11);
        QCOMPARE(d.Entries().FontName, QString());
        QVERIFY(d.width() >= 430 && d.height() >= 233);

        const QStringList installed = QFontDatabase::families();
        if (installed.isEmpty())
            QSKIP("no fonts installed");
        s.Font.Name = installed.last();
        TdlgSettings withFont(s, {});
        QCOMPARE(withFont.cmbFontName->currentText(), installed.last());
        for (int i = 1; i < withFont.cmbFontName->count(); ++i)
            QVERIFY(withFont.cmbFontName->itemText(i - 1).compare(withFont.cmbFontName->itemText(i),
                                                                  Qt::CaseInsensitive) <= 0);
        withFont.spnTabSet->setValue(-5);
        withFont.spnFontSize->setValue(100);
        QCOMPARE(withFont.spnTabSet->value(), -1);
        QCOMPARE(withFont.spnFontSize->value(), 72);
        withFont.spnTabSet->setValue(81);
        QCOMPARE(withFont.spnTabSet->value(), 80);
        QVERIFY(ask.asked().isEmpty());
    }

    // OK takes every field: the compiler with the interpreter beside it, a browser that
    // names no file as empty, a tab setting of -1, the colours as picked, and writes the
    // ten lines of the settings file.
    void okTakesTheFieldsAndWritesTheFile()
    {
        TestEnv env;
        ScriptedPrompter ask;
        QString java;
        const QString javac = fakeJdk(env, &java);
        const QStringList installed = QFontDatabase::families();
        if (installed.isEmpty())
            QSKIP("no fonts installed");
        ask.answerColor(QColor(0x12, 0x34, 0x56)); // window
        ask.answerColor(QColor(Qt::red));          // font
        TdlgSettings d(someSettings(), {});
        const int r = execWith(d, [&] {
            d.cmbFontName->setCurrentText(installed.first());
            QCOMPARE(d.pnlSample->font().family(), installed.first());
            d.spnFontSize->setValue(14);
            QCOMPARE(d.pnlSample->font().pointSize(), 14);
            QTest::mouseClick(d.cmdColorWindow, Qt::LeftButton);
            QTest::mouseClick(d.cmdColorFont, Qt::LeftButton);
            QCOMPARE(d.pnlSample->palette().color(QPalette::Window), QColor(0x12, 0x34, 0x56));
            QCOMPARE(d.pnlSample->palette().color(QPalette::WindowText), QColor(Qt::red));
            d.spnTabSet->setValue(-1);
            d.chkDDE->setChecked(true);
            d.chkAutoIndent->setChecked(false);
            d.chkDocTabs->setChecked(true);
            d.edtJavac->setText(javac);
            d.edtBrowser->setText(env.path("no-browser"));
            end(d, OkButton);
        });
        QCOMPARE(r, int(QDialog::Accepted));
        const TSettings& s = d.Settings();
        QCOMPARE(s.JavaCompiler, javac);
        QCOMPARE(s.JavaInterpreter, java);
        QCOMPARE(s.WebBrowser, QString());
        QCOMPARE(s.Font.Name, installed.first());
        QCOMPARE(s.Font.Size, 14);
        QCOMPARE(s.Font.Color, TColor(0x000000FF));
        QCOMPARE(s.EditorColor, TColor(0x00563412));
        QCOMPARE(int(s.TabSet), -1);
        QVERIFY(s.UseDDE && !s.AutoIndent && s.ShowDocTabs);
        QCOMPARE(TestEnv::readFile(kSettingsFileName),
                 ini(javac + "||" + installed.first() + "|14|clRed|-1|$00563412|-1|0|-1"));
        // The colour dialogs opened on the sample's colours.
        QCOMPARE(ask.asked().size(), 2);
        QCOMPARE(ask.asked()[0].color, d.palette().color(QPalette::Base));
        QCOMPARE(ask.asked()[1].color, QColor(Qt::black));
        QVERIFY(ask.unexpected().isEmpty());
    }

    // Colours the user leaves alone keep their names (a system colour stays one), a
    // cancelled colour dialog changes nothing, and a font not installed stays the font.
    void untouchedValuesStayAsTheyWere()
    {
        TestEnv env;
        ScriptedPrompter ask;
        ask.answerColor(QColor()); // cancelled
        TSettings old = someSettings();
        old.JavaCompiler.clear();
        old.WebBrowser = program(env, "browser");
        TdlgSettings d(old, {});
        const int r = execWith(d, [&] {
            QTest::mouseClick(d.cmdColorWindow, Qt::LeftButton);
            end(d, OkButton);
        });
        QCOMPARE(r, int(QDialog::Accepted));
        QCOMPARE(d.Settings().EditorColor, clWindow);
        QCOMPARE(d.Settings().Font.Name, old.Font.Name);
        QCOMPARE(d.Settings().WebBrowser, old.WebBrowser);
        QCOMPARE(TestEnv::readFile(kSettingsFileName),
                 ini("|" + old.WebBrowser + "|No Such Font Anywhere|11|clBlack|3|clWindow|0|-1|0"));
        QCOMPARE(ask.asked().size(), 1);
        QVERIFY(ask.unexpected().isEmpty());
    }

    // OK with a compiler path that names no file says why and keeps the dialog open with
    // nothing written; emptied, the field means no compiler.
    void okRefusesACompilerThatIsNoFile()
    {
        TestEnv env;
        ScriptedPrompter ask;
        ask.answerMessage(MsgResult::OK);
        const QString missing = env.path("nowhere/javac");
        TdlgSettings d(someSettings(), {});
        const int r = execWith(d, [&] {
            d.edtJavac->setText(missing);
            end(d, OkButton);
            QVERIFY(d.isVisible());
            QCOMPARE(d.pgcSettings->currentIndex(), 1);
            QVERIFY(!QFileInfo::exists(kSettingsFileName));
            d.edtJavac->setText(env.dir()); // a folder is no compiler either
            ask.answerMessage(MsgResult::OK);
            end(d, OkButton);
            QVERIFY(d.isVisible());
            d.edtJavac->clear();
            end(d, OkButton);
        });
        QCOMPARE(r, int(QDialog::Accepted));
        QCOMPARE(ask.messages(),
                 (QStringList{"Can't find the Java compiler '" + missing +
                                  "'. Choose an existing file, or leave the field empty.",
                              "Can't find the Java compiler '" + env.dir() +
                                  "'. Choose an existing file, or leave the field empty."}));
        QCOMPARE(ask.asked().first().type, MsgType::Warning);
        QCOMPARE(d.Settings().JavaCompiler, QString());
        QCOMPARE(d.Settings().JavaInterpreter, QString());
        QVERIFY(QFileInfo::exists(kSettingsFileName));
        QVERIFY(ask.unexpected().isEmpty());
    }

    void cancelChangesNothing_data()
    {
        QTest::addColumn<int>("ending");
        QTest::newRow("Cancel") << int(CancelButton);
        QTest::newRow("Escape") << int(Escape);
        QTest::newRow("close box") << int(CloseBox);
    }
    // Cancel, Escape and the close box always close the dialog, also while the compiler
    // field names no file, and forget every change, the default browser's included.
    void cancelChangesNothing()
    {
        QFETCH(int, ending);
        TestEnv env;
        ScriptedPrompter ask;
        FakeBrowserLookup lookup{program(env, "firefox")};
        ask.answerColor(QColor(Qt::green));
        const TSettings old = someSettings();
        TdlgSettings d(old, lookup.function());
        const int r = execWith(d, [&] {
            QTest::mouseClick(d.cmdColorWindow, Qt::LeftButton);
            QTest::mouseClick(d.cmdDefaultBrowser, Qt::LeftButton);
            QCOMPARE(d.edtBrowser->text(), lookup.answer);
            d.edtJavac->setText(env.path("nowhere/javac"));
            d.spnTabSet->setValue(8);
            end(d, Ending(ending));
        });
        QCOMPARE(r, int(QDialog::Rejected));
        QCOMPARE(lookup.calls, 1);
        QCOMPARE(d.Settings().WebBrowser, old.WebBrowser);
        QCOMPARE(d.Settings().JavaCompiler, old.JavaCompiler);
        QCOMPARE(int(d.Settings().TabSet), int(old.TabSet));
        QCOMPARE(d.Settings().EditorColor, old.EditorColor);
        QVERIFY(!QFileInfo::exists(kSettingsFileName));
        QCOMPARE(ask.asked().size(), 1); // the colour only: no message
        QVERIFY(ask.unexpected().isEmpty());
    }

    // Use Default Browser shows what the lookup finds; OK then takes it. A lookup that
    // finds nothing leaves the field as it was.
    void useDefaultBrowser()
    {
        TestEnv env;
        ScriptedPrompter ask;
        FakeBrowserLookup lookup;
        TSettings old = someSettings();
        old.JavaCompiler.clear();
        TdlgSettings d(old, lookup.function());
        const int r = execWith(d, [&] {
            QTest::mouseClick(d.cmdDefaultBrowser, Qt::LeftButton);
            QCOMPARE(d.edtBrowser->text(), old.WebBrowser);
            lookup.answer = program(env, "bin/firefox");
            QTest::mouseClick(d.cmdDefaultBrowser, Qt::LeftButton);
            QCOMPARE(d.edtBrowser->text(), lookup.answer);
            end(d, OkButton);
        });
        QCOMPARE(r, int(QDialog::Accepted));
        QCOMPARE(lookup.calls, 2);
        QCOMPARE(d.Settings().WebBrowser, lookup.answer);
        QVERIFY(ask.asked().isEmpty());
    }

    // The Browse buttons ask for an existing program with the open-file question; the
    // chosen file fills the field, a cancelled question leaves it.
    void browseFillsTheFields()
    {
        TestEnv env;
        ScriptedPrompter ask;
        const QString javac = fakeJdk(env);
        ask.answerOpen({javac});
        ask.answerOpen({});
        TSettings old = someSettings();
        TdlgSettings d(old, {});
        QTest::mouseClick(d.cmdBrowseJavac, Qt::LeftButton);
        QTest::mouseClick(d.cmdBrowseBrowser, Qt::LeftButton);
        QCOMPARE(d.edtJavac->text(), javac);
        QCOMPARE(d.edtBrowser->text(), old.WebBrowser);
        QCOMPARE(ask.asked().size(), 2);
        const FileDialogOptions& compiler = ask.asked()[0].fileOptions;
        QCOMPARE(compiler.fileName, "javac" + files::exeSuffix());
        QVERIFY(compiler.filter.startsWith("java compiler|javac" + files::exeSuffix() + "|"));
        QVERIFY(!compiler.multiSelect);
        QCOMPARE(compiler.initialDir, QStringLiteral("/old"));
        QVERIFY(ask.asked()[1].fileOptions.filter.startsWith("Application|"));
        QCOMPARE(ask.asked()[1].kind, Asked::Open);
        QVERIFY(ask.unexpected().isEmpty());
    }

    // A settings file that cannot be written is reported; the dialog stays open with what
    // the user entered, and the settings stay as they were.
    void failedWriteKeepsTheDialogOpen()
    {
        TestEnv env;
        ScriptedPrompter ask;
        env.writeFile(kSettingsFileName + "/keep", "kept"); // a folder cannot be replaced
        ask.answerMessage(MsgResult::OK);
        TSettings old = someSettings();
        old.JavaCompiler.clear();
        TdlgSettings d(old, {});
        const int r = execWith(d, [&] {
            d.spnTabSet->setValue(7);
            end(d, OkButton);
            QVERIFY(d.isVisible());
            QCOMPARE(d.spnTabSet->value(), 7);
            end(d, CancelButton);
        });
        QCOMPARE(r, int(QDialog::Rejected));
        QCOMPARE(ask.messages().size(), 1);
        QVERIFY(ask.messages().first().contains(kSettingsFileName));
        QCOMPARE(ask.asked().first().type, MsgType::Error);
        QCOMPARE(int(d.Settings().TabSet), 3);
        QCOMPARE(TestEnv::readFile(env.path(kSettingsFileName + "/keep")), QByteArray("kept"));
        QVERIFY(ask.unexpected().isEmpty());
    }

    // The interpreter is the compiler path less the length of "javac", followed by
    // "java", and only where that file exists.
    void interpreterBesideTheCompiler()
    {
        TestEnv env;
        TSettingsEntries entries;
        entries.JavaCompiler = fakeJdk(env);
        QCOMPARE(SettingsFromEntries(TSettings(), entries).JavaInterpreter,
                 env.path("jdk/bin/java" + files::exeSuffix()));
        // A compiler of another name still loses the length of "javac" exactly.
        entries.JavaCompiler = program(env, "other/bin/tjavac" + files::exeSuffix());
        QCOMPARE(SettingsFromEntries(TSettings(), entries).JavaCompiler, entries.JavaCompiler);
        QCOMPARE(SettingsFromEntries(TSettings(), entries).JavaInterpreter, QString());
        program(env, "other/bin/tjava" + files::exeSuffix());
        QCOMPARE(SettingsFromEntries(TSettings(), entries).JavaInterpreter,
                 env.path("other/bin/tjava" + files::exeSuffix()));
        QCOMPARE(SettingsEntriesRefusal(entries), QString());
    }
};

QTEST_MAIN(TestDlgSettings)
#include "tst_dsettings.moc"
