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

// Expires when the document is destroyed: the handler holding it goes too.
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

// Name|CompileOptions|ClassPath|OutputPath|the entries' paths below dir.
QString summary(const TProject& p, const QString& dir)
{
    QStringList paths;
    for (int i = 0; i < p.Count(); ++i)
        paths << p.Document(i)->FullPath().replace(dir + '/', QString());
    return QStringList{p.Name(), p.CompileOptions(), p.ClassPath(), p.OutputPath(), paths.join(' ')}
        .join('|');
}

// A saved project of the given files, unmodified.
std::unique_ptr<TProject> savedProject(const TestEnv& env, const QStringList& names)
{
    auto p = TProject::Create();
    for (const QString& name : names)
        p->AddFile(env.writeFile(name, name.toUtf8()));
    p->SetFileName(env.path("p.jpr"));
    p->Save();
    return p;
}

} // namespace

class TestProject : public QObject {
    Q_OBJECT
private slots:
    void saveAndReload()
    {
        TestEnv env;
        const QString z = env.writeFile("proj/src/Zeta.java", "z");
        const QString a = env.writeFile("web/alpha.html", "a");
        auto p = TProject::Create();
        QVERIFY(p->IsNew() && !p->Modified());
        p->SetName("New Project");
        QVERIFY(!p->Modified()); // unchanged values do not count
        p->SetName("Shop");
        p->SetCompileOptions(" -nowarn -g");
        p->SetClassPath("/opt/lib;.");
        p->SetOutputPath("classes");
        QVERIFY(p->AddFile(z) && p->AddFile(a));
        QCOMPARE(errorOf([&] { p->AddDocument(nullptr); }), QString("not a TDocument"));
        p->AddDocument(TDocument::CreateNew(1, TDocType::Java).release()); // never saved
        p->SetFileName(env.path("proj/shop.jpr"));
        p->Save();
        QVERIFY(!p->IsNew() && !p->Modified());
        QVERIFY(p->IsModified()); // the new document is still unsaved
        QCOMPARE(QDir::current().canonicalPath(), QDir(env.path("proj")).canonicalPath());
        QCOMPARE(TestEnv::readFile(env.path("proj/shop.jpr")),
                 "Tarvik's Brewpad 2.09\r\n2\r\nProject\r\n  Shop\r\n\r\n"
                 "CompileOptions\r\n   -nowarn -g\r\n\r\nClassPath\r\n  /opt/lib;.\r\n"
                 "\r\nOutputPath\r\n  classes\r\n\r\nFiles\r\n" +
                     (z + "\r\n" + a + "\r\n" + env.dir() + "\r\n").toUtf8());

        QDir::setCurrent(env.dir());
        QCOMPARE(errorOf([&] { TProject::CreateFromFile("no.jpr"); }),
                 QString("Can't find 'no.jpr'"));
        // The options lose their leading blank; the never-saved document names no file.
        auto q = TProject::CreateFromFile(env.path("proj/shop.jpr"));
        QCOMPARE(summary(*q, env.dir()),
                 QString("Shop|-nowarn -g|/opt/lib;.|classes|proj/src/Zeta.java web/alpha.html"));
        QVERIFY(!q->IsNew() && !q->IsModified());
        QCOMPARE(QDir::current().canonicalPath(), QDir(env.path("proj")).canonicalPath());
    }

    void loadFiles_data()
    {
        // %1 is the test directory; "ERR": the file is refused.
        const QByteArray body =
            "Project\r\n  Web\r\n\r\nCompileOptions\r\n   -O\r\n\r\nClassPath\r\n"
            "  cp\r\n\r\nOutputPath\r\n  out\r\n\r\nFiles\r\n%1/a/A.java\r\n";
        const QByteArray x = "x\r\n2\r\n" + body;
        const QString loaded = "Web|-O|cp|out|a/A.java";
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected"); // as summary() gives it
        QTest::newRow("2.01 header") << "Tarvik's Brewpad 2.01\r\n" + body << loaded;
        QTest::newRow("LF only") << QByteArray(x).replace("\r\n", "\n") << loaded;
        QTest::newRow("CR only") << QByteArray(x).replace("\r\n", "\r") << loaded;
        QTest::newRow("1 MB line")
            << "x\r\n2\r\n" + QByteArray(1 << 20, 'q') + "\r\n" + body << loaded;
        QTest::newRow("missing and blank files")
            << x + "%1/gone.java\r\n   \r\n%1/b/B.txt" << loaded + " b/B.txt";
        QTest::newRow("same name twice") << x + "%1/b/A.java\r\n" << loaded;
        QTest::newRow("same name in other case") << x + "%1/b/a.JAVA\r\n" << loaded;
        QTest::newRow("keys out of order")
            << QByteArray("x\r\n2\r\nProject\r\n  Web\r\nClassPath\r\n  cp\r\nCompileOptions\r\n"
                          "  -g\r\nOutputPath\r\n  out\r\nFiles\r\n%1/a/A.java\r\n")
            << QString("Web|-g|||");
        QTest::newRow("key on last line") << QByteArray("x\r\n2\r\nProject") << QString("||||");
        QTest::newRow("empty") << QByteArray() << QString("ERR");
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe\r\n\x01\x02\n\x00", 10)
                                << QString("ERR");
        QTest::newRow("no version line") << "Tarvik's Brewpad 2.09\r\n" + body << QString("ERR");
        QTest::newRow("version with blanks") << "x\r\n 2\r\n" + body << QString("ERR");
    }
    void loadFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        TestEnv env;
        for (const char* file : {"a/A.java", "b/A.java", "b/a.JAVA", "b/B.txt"})
            env.writeFile(file, file);
        const QString path = env.writeFile("p.jpr", content.replace("%1", env.dir().toUtf8()));
        std::unique_ptr<TProject> p;
        const QString error = errorOf([&] { p = TProject::CreateFromFile(path); });
        if (expected == "ERR")
            expected = "'" + path +
                       "' is not a Brewpad Project or is from an earlier version of "
                       "Brewpad.";
        QCOMPARE(p ? summary(*p, env.dir()) : error, expected);
        QVERIFY(!p || !p->IsModified());
    }

    void removeFile()
    {
        TestEnv env;
        auto p = savedProject(env, {"Shown.java", "Hidden.java"});
        TDocument* shown = p->Document(0);
        shown->SetIsOpen(true);
        const auto wShown = watch(shown);
        const auto wHidden = watch(p->Document(1));

        p->RemoveFile("nothing.java");
        QVERIFY(p->Modified());
        p->RemoveFile("shown.java"); // exact names only
        QCOMPARE(p->Count(), 2);
        // The editor showing a removed document keeps it; the others go.
        p->RemoveFile("Shown.java");
        QVERIFY(!wShown.expired());
        const std::unique_ptr<TDocument> keeper(shown);
        QCOMPARE(shown->Project(), nullptr);
        p->RemoveFile("Hidden.java");
        QVERIFY(wHidden.expired());
        QCOMPARE(p->Count(), 0);
        QVERIFY(QFile::exists(env.path("Hidden.java")));

        // A document destroyed elsewhere leaves the list; destroying the
        // project destroys the others, shown or not.
        p = savedProject(env, {"Open.java", "Closed.java", "Gone.java"});
        delete p->Document(2);
        QCOMPARE(p->Count(), 2);
        p->Document(0)->SetIsOpen(true);
        const auto wOpen = watch(p->Document(0));
        const auto wClosed = watch(p->Document(1));
        p.reset();
        QVERIFY(wOpen.expired() && wClosed.expired());
    }

    void renameAndSetFileName()
    {
        TestEnv env;
        auto p = savedProject(env, {"First.txt", "Hello.java", "Taken.java"});
        TDocument* doc = p->Document(1);
        int changes = 0;
        p->SetOnChange([&](TProject* sender) { changes += sender == p.get(); });

        QVERIFY(!errorOf([&] { p->RenameFile("Hello.java", "Taken"); }).isEmpty());
        QVERIFY(!p->Modified());
        QCOMPARE(p->RenameFile("Hello.java", "Main.txt"), doc);
        QCOMPARE(p->EntryName(1), QString("Main.java"));
        QCOMPARE(p->FindDocument("main.java"), nullptr); // exact names only
        QCOMPARE(TestEnv::readFile(env.path("Main.java")), QByteArray("Hello.java"));
        QVERIFY(p->Modified());
        QCOMPARE(changes, 0);
        QCOMPARE(p->RenameFile("Nope.java", "X"), nullptr);

        // A document given a new file renames its entry in place and tells the
        // project's listener, without marking the project modified.
        p->Save();
        doc->SetFileName(env.writeFile("saved/Page.html", "b"));
        QCOMPARE(p->EntryName(1), QString("Page.html"));
        QCOMPARE(changes, 1);
        QVERIFY(!p->Modified());
        QCOMPARE(p->GetFullPath("Page.html"), env.path("saved/Page.html"));
        QCOMPARE(p->GetFilesOfType(TDocType::Java), QStringList{"Taken.java"});
    }

    void failedSaveChangesNothing()
    {
        TestEnv env;
        env.writeFile("folder.jpr/inside.txt", "kept");
        QDir().mkpath(env.path("elsewhere"));
        QDir::setCurrent(env.path("elsewhere"));
        for (const QString& target : {env.path("folder.jpr"), QString()}) {
            auto p = TProject::Create();
            p->SetName("X");
            p->SetFileName(target);
            QVERIFY2(!errorOf([&] { p->Save(); }).isEmpty(), qPrintable(target));
            QVERIFY(p->IsNew() && p->Modified());
        }
        QCOMPARE(QDir::current().canonicalPath(), QDir(env.path("elsewhere")).canonicalPath());
        QCOMPARE(TestEnv::readFile(env.path("folder.jpr/inside.txt")), QByteArray("kept"));
    }
};

QTEST_GUILESS_MAIN(TestProject)
#include "tst_project.moc"
