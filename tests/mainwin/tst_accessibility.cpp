// Every control a person operates carries a name that screen readers announce: the main
// window with its menus and tool buttons, an editor window of each variant, the project
// manager of each variant and every dialog.
#include "dialogs/dabout.h"
#include "dialogs/dfind.h"
#include "dialogs/dgotoln.h"
#include "dialogs/dmultisave.h"
#include "dialogs/drunjava.h"
#include "dialogs/dsettings.h"
#include "dialogs/projectmanager.h"
#include "mainwin/documentcommands.h"
#include "mainwin/fmain.h"
#include "model/project.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"
#include "support/variants.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <QtTest>

using namespace bp;
using namespace bp::test;

namespace {

QString accessibleName(QObject* object)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(QAccessible::Name) : QString();
}

// A widget's place among its ancestors, for the failure message.
QString describe(const QWidget* w)
{
    QStringList path;
    for (const QWidget* p = w; p; p = p->parentWidget())
        path.prepend(QStringLiteral("%1(%2)").arg(p->metaObject()->className(), p->objectName()));
    return path.join(QLatin1Char('/'));
}

bool isOperable(const QWidget* w)
{
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QAbstractItemView*>(w);
}

// Parts of a compound control (a combo box's edit and popup list, a spin box's edit)
// are announced as that control.
bool isPartOfCompound(const QWidget* w)
{
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (qobject_cast<const QComboBox*>(p) || qobject_cast<const QAbstractSpinBox*>(p))
            return true;
    return false;
}

// The operable controls below root, and the items of its lists and menus, that have no
// accessible name.
QStringList unnamedControls(QWidget* root)
{
    QStringList out;
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* w : std::as_const(widgets)) {
        if (isOperable(w) && !isPartOfCompound(w) && accessibleName(w).isEmpty())
            out << describe(w);
        if (auto* view = qobject_cast<QAbstractItemView*>(w); view && !isPartOfCompound(w)) {
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(view);
            for (int i = 0; iface && i < iface->childCount(); ++i) {
                QAccessibleInterface* item = iface->child(i);
                const QAccessible::Role role = item->role();
                if ((role == QAccessible::ListItem || role == QAccessible::Cell ||
                     role == QAccessible::TreeItem) &&
                    item->text(QAccessible::Name).isEmpty())
                    out << describe(w) + QStringLiteral(" item %1").arg(i);
            }
        }
        if (auto* menu = qobject_cast<QMenu*>(w)) {
            const QList<QAction*> actions = menu->actions();
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(menu);
            for (int i = 0; i < actions.size(); ++i)
                if (!actions[i]->isSeparator() &&
                    iface->child(i)->text(QAccessible::Name).isEmpty())
                    out << describe(w) + QStringLiteral(" item %1").arg(i);
        }
    }
    return out;
}

// The project manager as a window of its own, for a host that does nothing.
class IdleHost : public IProjectManagerHost {
public:
    void OpenProjectDocument(const QString&) override {}
    bool CloseDocumentWindow(const QString&) override { return true; }
    void CompileProjectDocument(const QString&) override {}
    void BrowseProjectDocument(const QString&) override {}
    void NewProject() override {}
    void AddFilesToProject() override {}
    void OpenProjectFile(const QString&) override {}
    void SetProjectManagerShown(bool) override {}
    void UpdateMenuItems() override {}
};

} // namespace

// Fails naming every control without a name.
#define VERIFY_ALL_NAMED(root)                                                                     \
    do {                                                                                           \
        const QStringList unnamed = unnamedControls(root);                                         \
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char('\n'))));                  \
    } while (false)

class TestAccessibility : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase_data() { addEditorVariants(); }

    // The main window: menu bar, every menu with its items, the tool buttons, the tab bar
    // and an editor window of the case's variant with its own buttons and lists.
    void mainAndEditorWindowsNameEveryControl()
    {
        VariantScope variant;
        TestEnv env;
        ScriptedPrompter ask;
        TfrmMain main({});
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        main.Documents().NewDocument(TDocType::Java);
        main.Documents().OpenFiles({env.writeFile(QStringLiteral("A.java"), "class A {}\n")});
        QCOMPARE(main.MdiArea()->subWindowList().size(), 2);
        VERIFY_ALL_NAMED(&main);
        // The tool buttons go by their tooltips.
        QCOMPARE(accessibleName(main.button(QStringLiteral("cmdOpenProject"))),
                 QStringLiteral("Open Project"));
        QVERIFY(ask.unexpected().isEmpty());
    }

    // The project manager, with a document listed, so its list has an item to name.
    void projectManagerNamesEveryControl()
    {
        TestEnv env;
        ScriptedPrompter ask;
        IdleHost host;
        std::unique_ptr<TProject> project = TProject::Create();
        project->AddFile(env.writeFile(QStringLiteral("A.java"), "class A {}\n"));
        std::unique_ptr<TProjectManager> manager = CreateProjectManager(richVariant(), host);
        manager->SetProject(project.get());
        manager->show();
        VERIFY_ALL_NAMED(manager.get());
        manager.reset();
    }

    // The dialogs: find, replace, go to line, multi-save, About, settings and Run Java.
    void dialogsNameEveryField()
    {
        TestEnv env;
        const std::vector<std::function<std::unique_ptr<QWidget>()>> makers{
            [] { return std::make_unique<TdlgFind>(TdlgFind::TMode::Find); },
            [] { return std::make_unique<TdlgFind>(TdlgFind::TMode::Replace); },
            [] { return std::make_unique<TdlgGoToLine>(); },
            [] { return std::make_unique<TdlgMultiSave>(); },
            [] { return std::make_unique<TdlgAbout>(); },
            [] { return std::make_unique<TdlgSettings>(TSettings(), [] { return QString(); }); },
            [] { return std::make_unique<TdlgRunJava>(); },
        };
        for (const auto& make : makers) {
            std::unique_ptr<QWidget> dialog = make();
            VERIFY_ALL_NAMED(dialog.get());
        }
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
