#include "model/project.h"
#include "platform/errors.h"
#include "support/testenv.h"

#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
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

// Name|CompileOptions|ClassPath|OutputPath|the entries' paths below dir, '?'
// before a missing entry's.
QString summary(const TProject& p, const QString& dir)
{
    QStringList paths;
    for (int i = 0; i < p.Count(); ++i)
        paths << (p.IsMissing(i) ? "?" : "") + p.EntryPath(i).replace(dir + '/', QString());
    return QStringList{p.Name(), p.CompileOptions(), p.ClassPath(), p.OutputPath(), paths.join(' ')}
        .join('|');
}

bool isCurrent(const QString& dir)
{
    return QDir::current().canonicalPath() == QDir(dir).canonicalPath();
}

// A project file as this program writes it, listing the entries.
QByteArray projectFile(const QStringList& entries)
{
    QByteArray text = "Tarvik's Brewpad 2.09\r\n2\r\nProject\r\n  Kept\r\n\r\nCompileOptions\r\n"
                      "  -g\r\n\r\nClassPath\r\n  \r\n\r\nOutputPath\r\n  out\r\n\r\nFiles\r\n";
    for (const QString& entry : entries)
        text += entry.toUtf8() + "\r\n";
    return text;
}

// The entry lines of a project file, which ends with a line end.
QStringList entryLines(const QByteArray& file)
{
    QStringList lines =
        QString::fromUtf8(file.mid(file.indexOf("\r\nFiles\r\n") + 9)).split("\r\n");
    lines.removeLast();
    return lines;
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

        // The options lose their leading blank; the never-saved document's
        // entry names a folder, which is kept as a missing entry.
        QDir::setCurrent(env.dir());
        auto q = TProject::CreateFromFile(env.path("proj/shop.jpr"));
        QCOMPARE(summary(*q, env.dir()),
                 "Shop|-nowarn -g|/opt/lib;.|classes|proj/src/Zeta.java web/alpha.html ?" +
                     env.dir());
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
        // Blank lines are no entries. A file whose name an entry with a
        // document already has, whatever the case of its letters, gets no
        // document of its own: like a missing file, it is kept as listed.
        QTest::newRow("missing, blank and repeated files")
            << x + "%1/gone.java\r\n   \r\n%1/b/B.txt\r\n%1/b/A.java\r\n%1/b/a.JAVA\r\n"
            << loaded + " ?gone.java b/B.txt ?b/A.java ?b/a.JAVA";
        // An entry whose file is missing takes no name: a later file of that name loads.
        QTest::newRow("missing file before one of its name")
            << x + "%1/gone/B.txt\r\n%1/b/B.txt\r\n"
            << loaded + " ?gone/B.txt b/B.txt";
        // A line that cannot name a file is an entry all the same.
        QTest::newRow("entries with blanks and NUL")
            << x + " %1/b/B.txt\r\n%1/b/B.txt \r\n%1/b" + QByteArray(1, '\0') + "B.txt\r\n"
            << loaded + " ? b/B.txt ?b/B.txt  ?b" + QChar(0) + "B.txt";
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

    // Missing entries: a file that is not there (a folder, a name with a
    // blank around it), and a name an entry with a document already has.
    void missingEntries()
    {
        TestEnv env;
        const QString a = env.writeFile("a/A.java", "a");
        env.writeFile("b/a.JAVA", "b");
        const QString gone = env.path("gone/Gone.java");
        const auto p = TProject::CreateFromFile(env.writeFile(
            "p.jpr", projectFile({gone, a, env.path("b/a.JAVA"), a, env.path("a"), " " + a})));
        QStringList entries;
        for (int i = 0; i < p->Count(); ++i) {
            QCOMPARE(p->Document(i) == nullptr, p->IsMissing(i));
            entries << (p->IsMissing(i) ? "?" : "") + p->EntryName(i);
        }
        QCOMPARE(entries,
                 QStringList({"?Gone.java", "A.java", "?a.JAVA", "?A.java", "?a", "?A.java"}));
        QVERIFY(!p->IsModified());
        // Decided at load: the file that appears afterwards changes nothing.
        env.writeFile("gone/Gone.java", "g");
        QVERIFY(p->IsMissing(0) && p->Document(0) == nullptr);
    }

    // Saving a loaded project that nobody changed writes the bytes it was read from.
    void savingUnchangedProjectKeepsItsBytes_data()
    {
        QTest::addColumn<bool>("written"); // by this program, rather than by hand
        QTest::newRow("hand-written") << false;
        QTest::newRow("written by Save") << true;
    }
    void savingUnchangedProjectKeepsItsBytes()
    {
        QFETCH(bool, written);
        TestEnv env;
        const QString a = env.writeFile("a/A.java", "a");
        const QString b = env.writeFile("b/Bé.html", "b");
        const QString path = env.path("p.jpr");
        if (written) {
            auto p = TProject::Create();
            p->SetName("Café ☕");
            p->SetClassPath("/opt/lib");
            p->AddFile(a);
            p->AddFile(b);
            p->AddDocument(TDocument::CreateNew(1, TDocType::Java).release());
            p->SetFileName(path);
            p->Save();
            QFile::remove(b); // its entry loads missing
        } else {
            env.writeFile("p.jpr", projectFile({env.path("gone/G.java"), a, b, env.path("c/A.java"),
                                                a, env.path("gone/G.java")}));
        }
        const QByteArray before = TestEnv::readFile(path);
        TProject::CreateFromFile(path)->Save();
        QCOMPARE(TestEnv::readFile(path), before);
    }

    // Missing entries keep their places while the others change around them.
    void missingEntriesAreWrittenBackInOrder()
    {
        TestEnv env;
        const QString a = env.writeFile("a/A.java", "a");
        const QString b = env.writeFile("b/B.java", "b");
        const QString c = env.writeFile("c/C.java", "c");
        const QString gone = env.path("gone/G.java");
        const QString twin = env.writeFile("twin/A.java", "t");
        const QString path =
            env.writeFile("p.jpr", projectFile({gone, a, b, twin, env.path("gone/H.txt")}));
        auto p = TProject::CreateFromFile(path);
        p->RemoveFile("B.java");
        QVERIFY(p->AddFile(c));
        p->SetName("Other");
        p->Save();
        QCOMPARE(entryLines(TestEnv::readFile(path)),
                 QStringList({gone, a, twin, env.path("gone/H.txt"), c}));
    }

    // Removing is the one way out of the file for a missing entry: by name the
    // first entry of that name goes, by index the one chosen.
    void removingMissingEntryDropsIt()
    {
        TestEnv env;
        const QString gone = env.path("gone/A.java");
        const QString a = env.writeFile("x/A.java", "a");
        const QString twin = env.writeFile("y/A.java", "y");
        const QString path = env.writeFile("p.jpr", projectFile({gone, a, twin}));
        auto p = TProject::CreateFromFile(path);
        TDocument* doc = p->Document(1);
        QVERIFY(doc && p->IsMissing(0) && p->IsMissing(2));
        const auto alive = watch(doc);
        p->RemoveFile("A.java");
        QVERIFY(p->Modified());
        p->Save();
        QCOMPARE(entryLines(TestEnv::readFile(path)), QStringList({a, twin}));
        p->RemoveEntry(1);
        p->Save();
        QCOMPARE(entryLines(TestEnv::readFile(path)), QStringList{a});
        QVERIFY(!alive.expired() && p->FindDocument("A.java") == doc);
    }

    // Devices, pipes and the system's generated files are listed with a
    // document that names them; the load opens none of them (a pipe without a
    // writer would hold an opening load forever), and opening them as
    // documents still refuses.
    void specialFilesAreListedNotOpened()
    {
        TestEnv env;
        const QString pipe = env.path("pipe");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QStringList special{pipe};
        for (const QString system : {"/dev/zero", "/proc/self/status"}) {
            if (QFileInfo::exists(system))
                special << system;
        }
        const QByteArray content = projectFile(special);
        const QString path = env.writeFile("p.jpr", content);

        auto loading =
            std::async(std::launch::async, [&] { return TProject::CreateFromFile(path); });
        const bool loaded = loading.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
        if (!loaded) { // a writer that comes and goes lets a blocked open go on
            const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        }
        const auto p = loading.get();
        QVERIFY2(loaded, "the load opened the pipe");

        QCOMPARE(p->Count(), special.size());
        for (int i = 0; i < p->Count(); ++i) {
            QVERIFY(!p->IsMissing(i));
            QCOMPARE(p->EntryPath(i), special[i]);
            try {
                p->Document(i)->LoadPieces([](qint64) {}, [](const char*, qsizetype) {});
                QFAIL(qPrintable(special[i] + " was read"));
            } catch (const EBrewpadError& e) {
                QCOMPARE(e.message(),
                         "'" + special[i] + "' is not a file that can be opened as a document.");
            }
        }
        p->Save();
        QCOMPARE(TestEnv::readFile(path), content);
    }

    // Lookups by name stay right while entries are added, removed and renamed
    // (they use an index that these changes must keep or rebuild).
    void nameLookupsFollowChanges()
    {
        TestEnv env;
        auto p = TProject::Create();
        for (const QString name : {"A.java", "Äpfel.java", "C.java", "D.java"})
            QVERIFY(p->AddFile(env.writeFile("one/" + name, "x")));
        // Case is ignored for every letter when a file is added, not when looked up.
        QCOMPARE(p->AddFile(env.writeFile("two/äPFEL.java", "y")), nullptr);
        QCOMPARE(p->FindDocument("äpfel.java"), nullptr);
        TDocument* d = p->Document(3);
        QCOMPARE(p->FindDocument("D.java"), d);
        p->RemoveFile("A.java"); // later entries move down
        QCOMPARE(p->FindDocument("D.java"), d);
        QCOMPARE(p->IndexOfName("d.JAVA"), 2);
        p->RemoveFile("Äpfel.java");
        TDocument* again = p->AddFile(env.path("two/äPFEL.java"));
        QVERIFY(again && p->FindDocument("äPFEL.java") == again);
        QCOMPARE(p->RenameFile("C.java", "E.java"), p->Document(0));
        QVERIFY(!p->FindDocument("C.java") && p->FindDocument("E.java") == p->Document(0));
        QVERIFY(p->AddFile(env.writeFile("two/C.java", "z")));
        QCOMPARE(p->IndexOfName("C.java"), p->Count() - 1);
    }

    // What looks for documents passes over the entries without one.
    void documentQueriesSkipMissingEntries()
    {
        TestEnv env;
        const QString a = env.writeFile("x/A.java", "a");
        const QString gone = env.path("gone/B.java");
        auto p = TProject::CreateFromFile(
            env.writeFile("p.jpr", projectFile({env.path("gone/A.java"), a, gone})));
        QCOMPARE(p->FindDocument("A.java"), p->Document(1));
        QCOMPARE(p->GetFullPath("B.java"), QString());
        QCOMPARE(p->GetFilesOfType(TDocType::Java), QStringList{"A.java"});
        QCOMPARE(p->RenameFile("B.java", "C"), nullptr);
        p->DetachDocument(nullptr);
        QVERIFY(p->Count() == 3 && !p->IsModified());
        // A missing entry takes no name: its file, created now, can be added.
        QVERIFY(p->AddFile(env.writeFile("gone/B.java", "b")));
        QCOMPARE(p->GetFullPath("B.java"), gone);
        QVERIFY(p->IsMissing(2) && p->Count() == 4);
    }
};

QTEST_GUILESS_MAIN(TestProject)
#include "tst_project.moc"
