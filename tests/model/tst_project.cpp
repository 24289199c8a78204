#include "model/project.h"
#include "platform/errors.h"
#include "support/testenv.h"

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

// Name|CompileOptions|ClassPath|OutputPath|the entries' paths below dir.
QString summary(const TProject& p, const QString& dir)
{
    QStringList paths;
    for (int i = 0; i < p.Count(); ++i)
        paths << p.Document(i)->FullPath().replace(dir + '/', QString());
    return QStringList{p.Name(), p.CompileOptions(), p.ClassPath(), p.OutputPath(), paths.join(' ')}
        .join('|');
}

bool isCurrent(const QString& dir)
{
    return QDir::current().canonicalPath() == QDir(dir).canonicalPath();
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
        env.writeFile("other/folder.jpr/inside.txt", "kept");
        auto p = TProject::Create();
        p->SetName("New Project");
        QVERIFY(p->IsNew() && !p->Modified()); // unchanged values do not count
        p->SetName("Shop");
        p->SetCompileOptions(" -nowarn -g");
        p->SetClassPath("/opt/lib;.");
        p->SetOutputPath("classes");
        QVERIFY(p->AddFile(z) && p->AddFile(a));
        QVERIFY_THROWS_EXCEPTION(EBrewpadError, p->AddDocument(nullptr));
        p->AddDocument(TDocument::CreateNew(1, TDocType::Java).release()); // never saved

        // A failed save changes nothing: a directory in the way, or no name at all.
        for (const QString& target : {env.path("other/folder.jpr"), QString()}) {
            p->SetFileName(target);
            QVERIFY_THROWS_EXCEPTION(EBrewpadError, p->Save());
            QVERIFY(p->IsNew() && p->Modified() && isCurrent(env.dir()));
        }

        p->SetFileName(env.path("proj/shop.jpr"));
        p->Save();
        QVERIFY(!p->IsNew() && !p->Modified() && isCurrent(env.path("proj")));
        QVERIFY(p->IsModified()); // the new document is still unsaved
        QCOMPARE(TestEnv::readFile(env.path("proj/shop.jpr")),
                 "Tarvik's Brewpad 2.09\r\n2\r\nProject\r\n  Shop\r\n\r\n"
                 "CompileOptions\r\n   -nowarn -g\r\n\r\nClassPath\r\n  /opt/lib;.\r\n"
                 "\r\nOutputPath\r\n  classes\r\n\r\nFiles\r\n" +
                     (z + "\r\n" + a + "\r\n" + env.dir() + "\r\n").toUtf8());

        // The options lose their leading blank; the never-saved document names no file.
        QDir::setCurrent(env.dir());
        auto q = TProject::CreateFromFile(env.path("proj/shop.jpr"));
        QCOMPARE(summary(*q, env.dir()),
                 QString("Shop|-nowarn -g|/opt/lib;.|classes|proj/src/Zeta.java web/alpha.html"));
        QVERIFY(!q->IsNew() && !q->IsModified() && isCurrent(env.path("proj")));
    }

    void loadFiles_data()
    {
        // %1 is the test directory; "ERR": the file is refused.
        const QByteArray body =
            "Project\r\n  Web\r\n\r\nCompileOptions\r\n   -O\r\n\r\nClassPath\r\n"
            "  cp\r\n\r\nOutputPath\r\n  out\r\n\r\nFiles\r\n%1/a/A.java\r\n";
        const QByteArray x = "x\r\n2\r\n" + body;
        const qsizetype half = x.indexOf("ClassPath");
        const QString loaded = "Web|-O|cp|out|a/A.java";
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected"); // as summary() gives it
        QTest::newRow("2.01 header") << "Tarvik's Brewpad 2.01\r\n" + body << loaded;
        QTest::newRow("LF, a 1 MB line, CR")
            << x.left(half).replace("\r\n", "\n") + QByteArray(1 << 20, 'q') + "\n" +
                   x.mid(half).replace("\r\n", "\r")
            << loaded;
        // A name already listed is skipped whatever the case of its letters.
        QTest::newRow("missing, blank and repeated files")
            << x + "%1/gone.java\r\n   \r\n%1/b/B.txt\r\n%1/b/A.java\r\n%1/b/a.JAVA\r\n"
            << loaded + " b/B.txt";
        QTest::newRow("keys out of order")
            << QByteArray("x\r\n2\r\nProject\r\n  Web\r\nClassPath\r\n  cp\r\nCompileOptions\r\n"
                          "  -g\r\nOutputPath\r\n  out\r\nFiles\r\n%1/a/A.java\r\n")
            << "Web|-g||out|a/A.java";
        // A missing section is empty and stops none of those after it.
        QTest::newRow("no CompileOptions")
            << x.left(x.indexOf("CompileOptions")) + x.mid(half) << "Web||cp|out|a/A.java";
        QTest::newRow("no Project")
            << x.left(6) + x.mid(x.indexOf("CompileOptions")) << "|-O|cp|out|a/A.java";
        QTest::newRow("key on last line") << QByteArray("x\r\n2\r\nProject") << "||||";
        QTest::newRow("empty") << QByteArray() << "ERR";
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe\r\n\x01\x02\n\x00", 10) << "ERR";
        QTest::newRow("no version line") << "Tarvik's Brewpad 2.09\r\n" + body << "ERR";
        QTest::newRow("version with blanks") << "x\r\n 2\r\n" + body << "ERR";
    }
    void loadFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        TestEnv env;
        for (const char* file : {"a/A.java", "b/A.java", "b/a.JAVA", "b/B.txt"})
            env.writeFile(file, file);
        const QString path = env.writeFile("p.jpr", content.replace("%1", env.dir().toUtf8()));
        if (expected == "ERR") {
            QVERIFY_THROWS_EXCEPTION(EBrewpadError, TProject::CreateFromFile(path));
            return;
        }
        const auto p = TProject::CreateFromFile(path);
        QCOMPARE(summary(*p, env.dir()), expected);
    }

    void entries()
    {
        TestEnv env;
        auto p = TProject::Create();
        for (const QString name : {"Shown.java", "Hidden.java", "Hello.java", "Taken.java", "G.c"})
            p->AddFile(env.writeFile(name, name.toUtf8()));
        p->SetFileName(env.path("p.jpr"));
        p->Save();
        TDocument* shown = p->Document(0);
        shown->SetIsOpen(true);
        const auto wShown = watch(shown);
        const auto wHidden = watch(p->Document(1));
        p->RemoveFile("shown.java"); // exact names only, yet the project counts as modified
        QVERIFY(p->Count() == 5 && p->Modified());
        // The editor showing a removed document keeps it; the others go.
        p->RemoveFile("Shown.java");
        QVERIFY(!wShown.expired() && !shown->Project());
        const std::unique_ptr<TDocument> keeper(shown);
        p->RemoveFile("Hidden.java");
        QVERIFY(wHidden.expired() && QFile::exists(env.path("Hidden.java")));
        delete p->Document(2); // destroyed elsewhere: it leaves the list
        QCOMPARE(p->Count(), 2);

        p->Save();
        TDocument* doc = p->Document(0);
        int changes = 0;
        p->SetOnChange([&](TProject* sender) { changes += sender == p.get(); });
        // Failures leave the project unmodified (tst_brewpaddefs checks the files themselves).
        QVERIFY_THROWS_EXCEPTION(EBrewpadError, p->RenameFile("Hello.java", "Taken"));
        QCOMPARE(p->RenameFile("Nope.java", "X"), nullptr);
        QVERIFY(!p->Modified());
        QCOMPARE(p->RenameFile("Hello.java", "Main.txt"), doc);
        QCOMPARE(p->EntryName(0), QString("Main.java"));
        QVERIFY(p->Modified() && changes == 0);

        // A document given a new file renames its entry in place, tells the
        // project's listener and marks the project modified; saved again under
        // the same file, it leaves the project as it is.
        p->Save();
        doc->SetFileName(env.writeFile("saved/Page.html", "b"));
        QCOMPARE(p->EntryName(0), QString("Page.html"));
        QVERIFY(changes == 1 && p->Modified());
        p->Save();
        doc->SetFileName(env.path("saved/Page.html"));
        QVERIFY(changes == 2 && !p->Modified());
        QCOMPARE(p->GetFullPath("Page.html"), env.path("saved/Page.html"));
        QCOMPARE(p->GetFilesOfType(TDocType::Java), QStringList{"Taken.java"});

        // Destroying the project destroys its documents, shown or not.
        doc->SetIsOpen(true);
        const auto wOpen = watch(doc);
        const auto wClosed = watch(p->Document(1));
        p.reset();
        QVERIFY(wOpen.expired() && wClosed.expired());
    }
};

QTEST_GUILESS_MAIN(TestProject)
#include "tst_project.moc"
