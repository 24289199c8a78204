#include "model/project.h"
#include "platform/errors.h"
#include "platform/fileservices.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <memory>

using namespace bp;
using bp::test::TestEnv;

namespace {

std::weak_ptr<int> watch(TDocument* doc)
{
    auto token = std::make_shared<int>(0);
    doc->SetOnNameChange([token](TDocument*, const QString&) {});
    return token;
}

QString errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EBrewpadError& e) {
        return e.message();
    }
    return QString();
}

QString canonicalCurrent()
{
    return QFileInfo(QDir::currentPath()).canonicalFilePath();
}

QString canonical(const QString& dir)
{
    return QFileInfo(dir).canonicalFilePath();
}

QStringList entryPaths(const TProject& p)
{
    QStringList paths;
    for (int i = 0; i < p.Count(); ++i)
        paths << p.Document(i)->FullPath();
    return paths;
}

} // namespace

class TestProject : public QObject {
    Q_OBJECT
private slots:
    void saveAndReload();
    void loadFiles_data();
    void loadFiles();
    void neverSavedDocument();
    void removeFile();
    void renameFile();
    void setFileNameReplacesEntry();
    void addingAndLookups();
    void destroyingProjectDestroysDocuments();
    void failedSaveChangesNothing_data();
    void failedSaveChangesNothing();
};

void TestProject::saveAndReload()
{
    TestEnv env;
    const QString z = env.writeFile("src/Zeta.java", "z");
    const QString a = env.writeFile("web/alpha.html", "a");
    const QString m = env.writeFile("src/Mid.txt", "m");
    auto p = TProject::Create();
    QCOMPARE(p->Name(), QString("New Project"));
    QVERIFY(p->IsNew() && !p->Modified());
    p->SetName("New Project");
    QVERIFY(!p->Modified()); // unchanged values do not count
    p->SetName("Shop");
    p->SetCompileOptions(" -nowarn -g");
    p->SetClassPath("/opt/lib;.");
    p->SetOutputPath("classes");
    for (const QString& f : {z, a, m})
        QVERIFY(p->AddFile(f));
    p->SetFileName(env.path("proj/shop.jpr"));
    QDir().mkpath(env.path("proj"));
    p->Save();
    QVERIFY(!p->IsNew() && !p->Modified());
    QCOMPARE(canonicalCurrent(), canonical(env.path("proj")));

    const QByteArray expected =
        "Tarvik's Brewpad 2.09\r\n2\r\nProject\r\n  Shop\r\n\r\n"
        "CompileOptions\r\n   -nowarn -g\r\n\r\nClassPath\r\n  /opt/lib;.\r\n"
        "\r\nOutputPath\r\n  classes\r\n\r\nFiles\r\n" +
        (z + "\r\n" + a + "\r\n" + m + "\r\n").toUtf8();
    QCOMPARE(TestEnv::readFile(env.path("proj/shop.jpr")), expected);

    QDir::setCurrent(env.dir());
    auto q = TProject::CreateFromFile(env.path("proj/shop.jpr"));
    QCOMPARE(q->Name(), QString("Shop"));
    QCOMPARE(q->CompileOptions(), QString("-nowarn -g"));
    QCOMPARE(q->ClassPath(), QString("/opt/lib;."));
    QCOMPARE(q->OutputPath(), QString("classes"));
    QCOMPARE(entryPaths(*q), (QStringList{z, a, m}));
    QCOMPARE(q->Document(1)->Project(), q.get());
    QVERIFY(!q->IsNew() && !q->IsModified());
    QCOMPARE(q->FileName(), env.path("proj/shop.jpr"));
    QCOMPARE(canonicalCurrent(), canonical(env.path("proj")));
    QCOMPARE(q->GetFilesOfType(TDocType::Html), QStringList{"alpha.html"});
}

void TestProject::loadFiles_data()
{
    // %1 is the test directory; "ERR" as name means the file is refused.
    const QByteArray body = "Project\r\n  Web\r\n\r\nCompileOptions\r\n   -O\r\n\r\nClassPath\r\n"
                            "  cp\r\n\r\nOutputPath\r\n  out\r\n\r\nFiles\r\n%1/a/A.java\r\n";
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("classPath");
    QTest::addColumn<QStringList>("files");
    const QStringList a = {"%1/a/A.java"};
    QTest::newRow("current") << "Tarvik's Brewpad 2.09\r\n2\r\n" + body << "Web"
                             << "-O"
                             << "cp" << a;
    QTest::newRow("2.01 header") << "Tarvik's Brewpad 2.01\r\n" + body << "Web"
                                 << "-O"
                                 << "cp" << a;
    QTest::newRow("any header") << "whatever\r\n2\r\n" + body << "Web"
                                << "-O"
                                << "cp" << a;
    QTest::newRow("LF only") << QByteArray("x\r\n2\r\n" + body).replace("\r\n", "\n") << "Web"
                             << "-O"
                             << "cp" << a;
    QTest::newRow("CR only") << QByteArray("x\r\n2\r\n" + body).replace("\r\n", "\r") << "Web"
                             << "-O"
                             << "cp" << a;
    QTest::newRow("empty") << QByteArray() << "ERR"
                           << ""
                           << "" << QStringList();
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe\r\n\x01\x02\n\x00", 10) << "ERR"
                            << ""
                            << "" << QStringList();
    QTest::newRow("no version line") << "Tarvik's Brewpad 2.09\r\n" + body << "ERR"
                                     << ""
                                     << "" << QStringList();
    QTest::newRow("version with blanks") << "x\r\n 2\r\n" + body << "ERR"
                                         << ""
                                         << "" << QStringList();
    QTest::newRow("no Project key")
        << QByteArray("x\r\n2\r\n" + body).replace("Project\r\n", "Proj\r\n") << "New Project"
        << ""
        << "" << QStringList();
    QTest::newRow("keys out of order")
        << QByteArray("x\r\n2\r\nProject\r\n  Web\r\nClassPath\r\n  cp\r\nCompileOptions\r\n"
                      "  -g\r\nOutputPath\r\n  out\r\nFiles\r\n%1/a/A.java\r\n")
        << "Web"
        << "-g"
        << "" << QStringList();
    QTest::newRow("missing and blank files")
        << "x\r\n2\r\n" + body + "%1/gone.java\r\n   \r\n%1/b/B.txt"
        << "Web"
        << "-O"
        << "cp" << QStringList{"%1/a/A.java", "%1/b/B.txt"};
    QTest::newRow("same name twice") << "x\r\n2\r\n" + body + "%1/b/A.java\r\n"
                                     << "Web"
                                     << "-O"
                                     << "cp" << a;
    QTest::newRow("1 MB line") << "x\r\n2\r\n" + QByteArray(1 << 20, 'q') + "\r\n" + body << "Web"
                               << "-O"
                               << "cp" << a;
    QTest::newRow("key on last line") << QByteArray("x\r\n2\r\nProject") << ""
                                      << ""
                                      << "" << QStringList();
}

void TestProject::loadFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, name);
    QFETCH(QString, options);
    QFETCH(QString, classPath);
    QFETCH(QStringList, files);
    TestEnv env;
    env.writeFile("a/A.java", "A");
    env.writeFile("b/A.java", "other A");
    env.writeFile("b/B.txt", "B");
    const QString path = env.writeFile("p.jpr", content.replace("%1", env.dir().toUtf8()));
    std::unique_ptr<TProject> p;
    const QString error = errorOf([&] { p = TProject::CreateFromFile(path); });
    if (name == "ERR") {
        QCOMPARE(error, "'" + path +
                            "' is not a Brewpad Project or is from an earlier version of Brewpad.");
        return;
    }
    QCOMPARE(error, QString());
    QCOMPARE(p->Name(), name);
    QCOMPARE(p->CompileOptions(), options);
    QCOMPARE(p->ClassPath(), classPath);
    QCOMPARE(entryPaths(*p), files.replaceInStrings("%1", env.dir()));
    QVERIFY(!p->IsModified());
}

void TestProject::neverSavedDocument()
{
    TestEnv env;
    QCOMPARE(errorOf([&] { TProject::CreateFromFile(env.path("no.jpr")); }),
             "Can't find '" + env.path("no.jpr") + "'");
    auto p = TProject::Create();
    p->AddDocument(TDocument::CreateNew(1, TDocType::Java).release());
    p->SetFileName(env.path("p.jpr"));
    p->Save();
    QVERIFY(!p->Modified());
    QVERIFY(p->IsModified()); // the document itself is still unsaved
    QVERIFY(
        TestEnv::readFile(env.path("p.jpr")).endsWith("Files\r\n" + env.dir().toUtf8() + "\r\n"));
    QCOMPARE(TProject::CreateFromFile(env.path("p.jpr"))->Count(), 0);
}

void TestProject::removeFile()
{
    TestEnv env;
    auto p = TProject::Create();
    TDocument* shown = p->AddFile(env.writeFile("Shown.java", "s"));
    TDocument* hidden = p->AddFile(env.writeFile("Hidden.java", "h"));
    shown->SetIsOpen(true);
    std::unique_ptr<TDocument> keeper; // the editor window's ownership
    const auto wShown = watch(shown);
    const auto wHidden = watch(hidden);
    p->SetFileName(env.path("p.jpr"));
    p->Save();

    p->RemoveFile("nothing.java");
    QVERIFY(p->Modified());
    QCOMPARE(p->Count(), 2);
    p->RemoveFile("shown.java"); // exact names only
    QCOMPARE(p->Count(), 2);

    p->RemoveFile("Shown.java");
    QVERIFY(!wShown.expired());
    keeper.reset(shown);
    QCOMPARE(shown->Project(), nullptr);
    p->RemoveFile("Hidden.java");
    QVERIFY(wHidden.expired());
    QCOMPARE(p->Count(), 0);
    QVERIFY(QFile::exists(env.path("Hidden.java")));
}

void TestProject::renameFile()
{
    TestEnv env;
    auto p = TProject::Create();
    p->AddFile(env.writeFile("First.txt", "1"));
    TDocument* doc = p->AddFile(env.writeFile("Hello.java", "class Hello {}"));
    p->AddFile(env.writeFile("Taken.java", "t"));
    p->SetFileName(env.path("p.jpr"));
    p->Save();
    int changes = 0;
    p->SetOnChange([&](TProject*) { ++changes; });

    QVERIFY(!errorOf([&] { p->RenameFile("Hello.java", "Taken"); }).isEmpty());
    QVERIFY(!p->Modified());
    QCOMPARE(p->EntryName(1), QString("Hello.java"));

    QCOMPARE(p->RenameFile("Hello.java", "Main.txt"), doc);
    QCOMPARE(p->EntryName(1), QString("Main.java"));
    QCOMPARE(p->FindDocument("Main.java"), doc);
    QVERIFY(p->ContainsFile("Main.java"));
    QVERIFY(!p->ContainsFile("Hello.java"));
    QCOMPARE(p->FindDocument("Hello.java"), nullptr);
    QCOMPARE(TestEnv::readFile(env.path("Main.java")), QByteArray("class Hello {}"));
    QVERIFY(!QFile::exists(env.path("Hello.java")));
    QVERIFY(p->Modified());
    QCOMPARE(changes, 0);
    QCOMPARE(p->RenameFile("Nope.java", "X"), nullptr);
}

void TestProject::setFileNameReplacesEntry()
{
    TestEnv env;
    auto p = TProject::Create();
    p->AddFile(env.writeFile("A.java", "a"));
    TDocument* doc = p->AddFile(env.writeFile("B.java", "b"));
    p->AddFile(env.writeFile("C.java", "c"));
    p->SetFileName(env.path("p.jpr"));
    p->Save();
    int changes = 0;
    p->SetOnChange([&](TProject* sender) { changes += sender == p.get(); });

    doc->SetFileName(env.writeFile("saved/Page.html", "b"));
    QCOMPARE(p->EntryName(1), QString("Page.html"));
    QCOMPARE(p->Count(), 3);
    QCOMPARE(changes, 1);
    QVERIFY(!p->Modified());
    QCOMPARE(p->GetFullPath("Page.html"), env.path("saved/Page.html"));
    QCOMPARE(p->GetFilesOfType(TDocType::Java), (QStringList{"A.java", "C.java"}));
}

void TestProject::addingAndLookups()
{
    TestEnv env;
    auto p = TProject::Create();
    QVERIFY(p->AddFile(env.writeFile("a/Hello.java", "1")));
    QCOMPARE(p->AddFile(env.writeFile("b/HELLO.java", "2")), nullptr);
    QCOMPARE(p->AddFile(env.path("missing.java")), nullptr);
    QCOMPARE(p->IndexOfName("hello.JAVA"), 0);
    QCOMPARE(p->FindDocument("hello.java"), nullptr);
    QCOMPARE(errorOf([&] { p->AddDocument(nullptr); }), QString("not a TDocument"));
    QCOMPARE(p->Count(), 1);

    // AddDocument has no duplicate test; the later entry wins GetFullPath.
    auto second = TDocument::CreateFromFile(env.path("b/HELLO.java"));
    second->SetFileName(env.writeFile("c/Hello.java", "3"));
    p->AddDocument(second.release());
    QCOMPARE(p->Count(), 2);
    QCOMPARE(p->FindDocument("Hello.java")->Path(), env.path("a") + "/");
    QCOMPARE(p->GetFullPath("Hello.java"), env.path("c/Hello.java"));
}

void TestProject::destroyingProjectDestroysDocuments()
{
    TestEnv env;
    auto p = TProject::Create();
    TDocument* open = p->AddFile(env.writeFile("Open.java", "o"));
    open->SetIsOpen(true);
    TDocument* closed = p->AddFile(env.writeFile("Closed.java", "c"));
    const auto wOpen = watch(open);
    const auto wClosed = watch(closed);
    p.reset();
    QVERIFY(wOpen.expired());
    QVERIFY(wClosed.expired());
}

void TestProject::failedSaveChangesNothing_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("parent is a file") << "plain.txt/p.jpr";
    QTest::newRow("target is a directory") << "folder.jpr";
    QTest::newRow("no file name") << "";
}

void TestProject::failedSaveChangesNothing()
{
    QFETCH(QString, target);
    TestEnv env;
    env.writeFile("plain.txt", "plain");
    env.writeFile("folder.jpr/inside.txt", "kept");
    QDir().mkpath(env.path("elsewhere"));
    QDir::setCurrent(env.path("elsewhere"));

    auto p = TProject::Create();
    p->SetName("X");
    p->SetFileName(target.isEmpty() ? QString() : env.path(target));
    QVERIFY(!errorOf([&] { p->Save(); }).isEmpty());
    QVERIFY(p->IsNew() && p->Modified());
    QCOMPARE(canonicalCurrent(), canonical(env.path("elsewhere")));
    QCOMPARE(TestEnv::readFile(env.path("plain.txt")), QByteArray("plain"));
    QCOMPARE(TestEnv::readFile(env.path("folder.jpr/inside.txt")), QByteArray("kept"));
}

QTEST_GUILESS_MAIN(TestProject)
#include "tst_project.moc"
