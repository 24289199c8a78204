// The Configure command: the settings dialog reached from the main window, and what its
// OK and Cancel do to the open editor windows and the two settings stores. Every case runs
// with the main window of either variant, each holding an editor of both.
#include "dialogs/dsettings.h"
#include "editor/cedit95.h"
#include "editor/editorwindow.h"
#include "editor/textcontrol.h"
#include "mainwin/childwindows.h"
#include "mainwin/documentcommands.h"
#include "mainwin/fmain.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"
#include "support/variants.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabBar>
#include <QToolButton>
#include <QtTest>

#include <Qsci/qsciscintilla.h>

using namespace bp;
using namespace bp::test;

namespace {

// A started main window of the case's variant with a rich and a plain editor open.
struct World {
    World()
    {
        main = std::make_unique<TfrmMain>(QStringList());
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        TChildWindows& children = main->Children();
        const bool win95 = children.IsWin95();
        children.SetIsWin95(true);
        main->Documents().OpenFiles({env.writeFile("A.java", "class A {}\n")});
        children.SetIsWin95(false);
        main->Documents().OpenFiles({env.writeFile("b.txt", "b\n")});
        children.SetIsWin95(win95);
    }
    QList<TcwEditBase*> editors() const { return main->Children().Editors(); }
    QString stored(const QString& key) const
    {
        return QSettings(env.storeFile(), QSettings::IniFormat).value(key).toString();
    }

    VariantScope variant;
    TestEnv env;
    ScriptedPrompter ask;
    std::unique_ptr<TfrmMain> main;
};

// The font an editor's text shows in: the rich control's default style (its
// widget font is QScintilla's own business), the plain control's widget font.
std::pair<QString, int> shownFont(TcwEditBase* editor)
{
    QWidget* widget = editor->Text()->widget();
    if (auto* sci = qobject_cast<QsciScintilla*>(widget)) {
        using Sci = QsciScintillaBase;
        char family[256] = {};
        sci->SendScintilla(Sci::SCI_STYLEGETFONT, Sci::STYLE_DEFAULT, family);
        return {QString::fromUtf8(family),
                int(sci->SendScintilla(Sci::SCI_STYLEGETSIZE, Sci::STYLE_DEFAULT))};
    }
    return {widget->font().family(), widget->font().pointSize()};
}

} // namespace

class TestConfigure : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data() { addEditorVariants(); }

    // OK gives every open editor, of both variants, the new font and colours at once,
    // hides the tab bar with the document tabs off, and writes the settings file and
    // the store.
    void okAppliesToEveryEditorAndStores()
    {
        World w;
        const QStringList fonts = QFontDatabase::families();
        if (fonts.isEmpty())
            QSKIP("no fonts installed");
        const QString font = fonts.last();
        const QColor paper(10, 40, 90), ink(230, 220, 100);
        QCOMPARE(w.editors().size(), 2);
        QVERIFY(qobject_cast<TcwEdit95*>(w.editors()[0]) &&
                !qobject_cast<TcwEdit95*>(w.editors()[1]));
        QVERIFY(w.main->tcWindows()->isVisible());

        w.ask.answerDialog([&](QDialog& dialog) {
            auto& d = dynamic_cast<TdlgSettings&>(dialog);
            d.cmbFontName->setCurrentText(font);
            d.spnFontSize->setValue(17);
            d.cmdColorWindow->click();
            d.cmdColorFont->click();
            d.chkDocTabs->setChecked(false);
            d.cmdOK->click();
            return d.result();
        });
        w.ask.answerColor(paper);
        w.ask.answerColor(ink);
        w.main->item("mnuFileConfigure")->trigger();

        for (TcwEditBase* e : w.editors()) {
            const char* which = e->metaObject()->className();
            QVERIFY2(e->Text()->backgroundColor() == paper, which);
            QVERIFY2(shownFont(e) == std::make_pair(font, 17), which);
        }
        QCOMPARE(w.editors()[1]->Text()->widget()->palette().color(QPalette::Text), ink);
        QVERIFY(!w.main->tcWindows()->isVisible());
        const QString lines =
            w.main->Settings().JavaCompiler + "||" + font + "|17|$0064DCE6|4|$005A280A|-1|-1|0";
        QCOMPARE(TestEnv::readFile(kSettingsFileName),
                 (lines.split('|').join("\r\n") + "\r\n").toUtf8());
        QCOMPARE(w.stored("Editor/Color"), QStringLiteral("$005A280A"));
        QCOMPARE(w.stored("Display/Font/FontName"), font);
        QCOMPARE(w.stored("Display/Font/FontSize"), QStringLiteral("17"));
        QCOMPARE(w.stored("Display/Font/FontColor"), QStringLiteral("$0064DCE6"));
        QCOMPARE(w.stored("Display/ShowDocTabs"), QStringLiteral("0"));
        QVERIFY(w.ask.unexpected().isEmpty());
    }

    // The tool button opens the same dialog; Cancel leaves the editors, the files and the
    // store as they were.
    void cancelChangesNothing()
    {
        World w;
        const QColor before = w.editors()[0]->Text()->backgroundColor();
        const QString storedColor = w.stored("Editor/Color");
        w.ask.answerDialog([&](QDialog& dialog) {
            auto& d = dynamic_cast<TdlgSettings&>(dialog);
            d.cmdColorWindow->click();
            d.spnTabSet->setValue(9);
            d.cmdCancel->click();
            return d.result();
        });
        w.ask.answerColor(QColor(Qt::green));
        w.main->button("cmdConfigure")->click();
        QCOMPARE(w.ask.asked().first().text, QStringLiteral("bp::TdlgSettings"));
        for (TcwEditBase* e : w.editors())
            QCOMPARE(e->Text()->backgroundColor(), before);
        QCOMPARE(int(w.main->Settings().TabSet), 4);
        QVERIFY(!QFileInfo::exists(kSettingsFileName));
        QCOMPARE(w.stored("Editor/Color"), storedColor);
        QCOMPARE(w.stored("Editor/TabSet"), QStringLiteral("4"));
        QVERIFY(w.ask.unexpected().isEmpty());
    }
};

QTEST_MAIN(TestConfigure)
#include "tst_configure.moc"
