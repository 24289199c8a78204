// The main menu's enabling rules, as a table from inputs to enabled items.
#include "mainwin/menustate.h"

#include <QtTest>

using namespace bp;

Q_DECLARE_METATYPE(TMenuInputs)
Q_DECLARE_METATYPE(TMenuState)

namespace {

// Every item of the state by name.
const std::pair<const char*, bool TMenuState::*> kItems[] = {
    {"Reopen", &TMenuState::Reopen},
    {"Save", &TMenuState::Save},
    {"SaveAll", &TMenuState::SaveAll},
    {"SaveProjectButton", &TMenuState::SaveProjectButton},
    {"SaveAs", &TMenuState::SaveAs},
    {"SaveProjectAs", &TMenuState::SaveProjectAs},
    {"Close", &TMenuState::Close},
    {"CloseAll", &TMenuState::CloseAll},
    {"Project", &TMenuState::Project},
    {"ProjectAddDoc", &TMenuState::ProjectAddDoc},
    {"ProjectAddAllDoc", &TMenuState::ProjectAddAllDoc},
    {"ProjectRemoveDoc", &TMenuState::ProjectRemoveDoc},
    {"Print", &TMenuState::Print},
    {"Undo", &TMenuState::Undo},
    {"Cut", &TMenuState::Cut},
    {"Copy", &TMenuState::Copy},
    {"Paste", &TMenuState::Paste},
    {"Delete", &TMenuState::Delete},
    {"Find", &TMenuState::Find},
    {"CompileDocument", &TMenuState::CompileDocument},
    {"StopCompile", &TMenuState::StopCompile},
    {"LoadBrowser", &TMenuState::LoadBrowser},
    {"RunJava", &TMenuState::RunJava},
    {"WindowCommands", &TMenuState::WindowCommands},
};

// The state with exactly the named items enabled.
TMenuState enabled(const QString& names)
{
    TMenuState s;
    const QStringList wanted = names.split(' ', Qt::SkipEmptyParts);
    for (const auto& [name, field] : kItems)
        s.*field = wanted.contains(QLatin1String(name));
    return s;
}

// The names of the items enabled in a state, for readable failures.
QString names(const TMenuState& s)
{
    QStringList out;
    for (const auto& [name, field] : kItems)
        if (s.*field)
            out << QString::fromLatin1(name);
    return out.join(' ');
}

// One active editor window of the variant in use showing a document.
TMenuInputs editor(TDocType type, bool saved, bool text = true)
{
    TMenuInputs in;
    in.Active = TActiveChild::Editor;
    in.ChildCount = 1;
    in.Editor.HasDocument = true;
    in.Editor.DocType = type;
    in.Editor.Untitled = !saved;
    in.Editor.HasText = text;
    in.ClipboardHasText = true;
    in.Tools = {true, true, true, true};
    return in;
}

// What an editor with text and a document always enables, with the
// clipboard holding text and no project.
const QString kEditor = "Save SaveAll SaveAs Close CloseAll Print Undo Cut Copy Paste Delete Find "
                        "RunJava WindowCommands";

} // namespace

class TestMenuState : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void enablesByTheRules_data()
    {
        QTest::addColumn<TMenuInputs>("inputs");
        QTest::addColumn<TMenuState>("expected");

        TMenuInputs none;
        QTest::newRow("no window, nothing recent") << none << enabled("");
        none.HasRecentFiles = true;
        none.ClipboardHasText = true;
        none.Tools = {true, true, true, true};
        QTest::newRow("no window, recent files, every tool")
            << none << enabled("Reopen RunJava");

        TMenuInputs fresh = editor(TDocType::Java, false, false);
        QTest::newRow("new untouched document")
            << fresh
            << enabled("Save SaveAll SaveAs Close CloseAll Undo Cut Copy Paste Delete RunJava "
                       "WindowCommands");
        fresh.ClipboardHasText = false;
        QTest::newRow("new document, empty clipboard")
            << fresh
            << enabled("Save SaveAll SaveAs Close CloseAll Undo Cut Copy Delete RunJava "
                       "WindowCommands");

        TMenuInputs java = editor(TDocType::Java, true);
        java.Editor.Modified = true;
        QTest::newRow("modified saved Java document") << java << enabled(kEditor + " CompileDocument");
        // Unlike the editor's compile button, the menu item does not ask for a saved file.
        QTest::newRow("Java document never saved")
            << editor(TDocType::Java, false) << enabled(kEditor + " CompileDocument");
        java.Tools.Compiler = false;
        QTest::newRow("compiler path names a missing file") << java << enabled(kEditor);

        TMenuInputs html = editor(TDocType::Html, true);
        QTest::newRow("Html document with a browser") << html << enabled(kEditor + " LoadBrowser");
        html.Tools.Browser = false;
        QTest::newRow("Html document without a browser") << html << enabled(kEditor);
        QTest::newRow("Text document") << editor(TDocType::Text, true) << enabled(kEditor);

        // Neither read-only text nor a selection changes the menu: the editor's own commands
        // refuse to change a read-only text, and Cut, Copy and Delete do nothing without a
        // selection.
        TMenuInputs readOnly = editor(TDocType::Java, true);
        readOnly.Editor.ReadOnly = true;
        QTest::newRow("read-only document") << readOnly << enabled(kEditor + " CompileDocument");
        TMenuInputs selection = editor(TDocType::Text, true);
        selection.Editor.Selection = true;
        QTest::newRow("selection") << selection << enabled(kEditor);

        TMenuInputs other = editor(TDocType::Java, true);
        other.Active = TActiveChild::OtherEditor;
        QTest::newRow("editor of the other variant")
            << other << enabled("Close CloseAll Cut Copy Paste Delete RunJava WindowCommands");
        // A compiling window compiles once at a time; its compile can be stopped from either
        // variant.
        TMenuInputs compiling = editor(TDocType::Java, true);
        compiling.Editor.Compiling = true;
        compiling.Editor.ReadOnly = true;
        QTest::newRow("compiling") << compiling << enabled(kEditor + " StopCompile");
        compiling.Active = TActiveChild::OtherEditor;
        QTest::newRow("compiling, other variant")
            << compiling
            << enabled("Close CloseAll Cut Copy Paste Delete RunJava WindowCommands StopCompile");

        TMenuInputs printerless = editor(TDocType::Text, true);
        printerless.Tools.Printer = false;
        printerless.Tools.Interpreter = false;
        QTest::newRow("no printer, no interpreter")
            << printerless
            << enabled("Save SaveAll SaveAs Close CloseAll Undo Cut Copy Paste Delete Find "
                       "WindowCommands");

        TMenuInputs project;
        project.HasProject = true;
        const QString projectItems = "SaveProjectButton SaveProjectAs Project ProjectAddDoc";
        QTest::newRow("project, no window") << project << enabled(projectItems);
        project.ProjectModified = true;
        QTest::newRow("modified project") << project << enabled("SaveAll " + projectItems);

        TMenuInputs member = editor(TDocType::Text, true);
        member.HasProject = true;
        member.ProjectCount = 2;
        member.ProjectHasActiveFile = true;
        QTest::newRow("active document in the project")
            << member << enabled(kEditor + " " + projectItems + " ProjectAddAllDoc ProjectRemoveDoc");
        member.ProjectHasActiveFile = false;
        QTest::newRow("active document not in the project")
            << member << enabled(kEditor + " " + projectItems + " ProjectAddAllDoc");

        // The project manager: the clipboard commands follow its selection, Paste there wants
        // the name of an existing file, and alone it has nothing to add.
        TMenuInputs manager;
        manager.HasProject = true;
        manager.ProjectCount = 1;
        manager.Active = TActiveChild::Manager;
        manager.ChildCount = 1;
        manager.OnlyChildIsManager = true;
        manager.ClipboardHasText = true;
        manager.ClipboardNamesFile = true;
        QTest::newRow("only the manager, nothing selected")
            << manager << enabled(projectItems + " Close CloseAll Paste WindowCommands");
        manager.ManagerHasSelection = true;
        manager.ChildCount = 2;
        manager.OnlyChildIsManager = false;
        QTest::newRow("manager with a selection among others")
            << manager
            << enabled(projectItems + " ProjectAddAllDoc ProjectRemoveDoc Close CloseAll Cut Copy "
                                      "Paste Delete WindowCommands");
        manager.ClipboardNamesFile = false;
        QTest::newRow("manager, clipboard names no file")
            << manager
            << enabled(projectItems + " ProjectAddAllDoc ProjectRemoveDoc Close CloseAll Cut Copy "
                                      "Delete WindowCommands");
    }
    void enablesByTheRules()
    {
        QFETCH(TMenuInputs, inputs);
        QFETCH(TMenuState, expected);
        QCOMPARE(names(MenuState(inputs)), names(expected));
    }
};

QTEST_GUILESS_MAIN(TestMenuState)
#include "tst_menustate.moc"
