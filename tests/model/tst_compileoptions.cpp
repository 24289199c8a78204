// What a document's project and package put on the compiler's command line.
#include "model/compileoptions.h"

#include "model/compiledocument.h"

#include "model/document.h"
#include "model/project.h"
#include "platform/errors.h"
#include "support/testenv.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

using namespace bp;
using bp::test::TestEnv;

class TestCompileOptions : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Relative paths of a saved project count from its file's folder; each list entry on its
    // own. A document outside any project gets only its source root.
    void optionsComeFromTheProjectAndThePackage()
    {
        TestEnv env;
        const QString source = env.writeFile("src/a/A.java", "package a;\nclass A {}\n");
        const QString text = QString::fromUtf8(TestEnv::readFile(source));
        auto project = TProject::Create();
        TDocument* doc = TDocument::CreateFromFile(source).release();
        project->AddDocument(doc);
        project->SetCompileOptions(" -nowarn -g");
        project->SetClassPath(" lib/a.jar:/abs/b.jar:../c ");
        project->SetOutputPath("out/../classes");

        // Unsaved: from the document's folder.
        TJavacOptions options = CompileOptionsFor(*doc, text);
        QCOMPARE(options.OutputDir, env.path("src/a/classes"));

        project->SetFileName(env.path("proj/p.jpr"));
        options = CompileOptionsFor(*doc, text);
        QCOMPARE(options, (TJavacOptions{" -nowarn -g",
                                         env.path("proj/lib/a.jar") + ":/abs/b.jar:" + env.path("c"),
                                         env.path("proj/classes"), env.path("src")}));

        project->SetClassPath("");
        project->SetOutputPath("  ");
        options = CompileOptionsFor(*doc, "class A {}");
        QCOMPARE(options, (TJavacOptions{" -nowarn -g", "", "", ""}));

        project->DetachDocument(doc);
        const std::unique_ptr<TDocument> alone(doc);
        doc->SetProject(nullptr);
        QCOMPARE(CompileOptionsFor(*doc, text), (TJavacOptions{"", "", "", env.path("src")}));
    }

    void outputFolderIsCreatedWhenMissing()
    {
        TestEnv env;
        PrepareOutputFolder({});
        PrepareOutputFolder({"", "", env.path("out/deep"), ""});
        QVERIFY(QFileInfo(env.path("out/deep")).isDir());
        PrepareOutputFolder({"", "", env.path("out/deep"), ""}); // already there
        env.writeFile("file", "x");
        QVERIFY_THROWS_EXCEPTION(EBrewpadError,
                                 PrepareOutputFolder({"", "", env.path("file/sub"), ""}));
    }

    // The real compiler, run for a project document in a package: the class of another
    // package is found through the source root, the jar's class through the project's class
    // path, and the class file goes to the project's output folder, made for it.
    void projectDocumentCompilesWithItsOptions()
    {
        const QString javac = QFileInfo(QStandardPaths::findExecutable("javac")).canonicalFilePath();
        const QString jar = QStandardPaths::findExecutable("jar");
        if (javac.isEmpty() || jar.isEmpty())
            QSKIP("the JDK's javac and jar are needed");
        const QString java = QFileInfo(javac).absolutePath() + "/java";
        TestEnv env;
        env.writeFile("libsrc/lib/Helper.java",
                      "package lib; public class Helper { public static int two() { return 2; } }");
        QCOMPARE(QProcess::execute(javac, {"-d", env.path("libclasses"),
                                           env.path("libsrc/lib/Helper.java")}),
                 0);
        QVERIFY(QDir().mkpath(env.path("proj/lib")));
        QCOMPARE(QProcess::execute(jar, {"cf", env.path("proj/lib/helper.jar"), "-C",
                                         env.path("libclasses"), "lib/Helper.class"}),
                 0);
        env.writeFile("src/c/Other.java", "package c; public class Other { public static final "
                                          "int ONE = 1; }\n");
        const QString source = env.writeFile("src/a/b/Main.java", "package a.b;\nclass Main {}\n");
        const QByteArray edited =
            "package a.b;\nclass Main { int x = lib.Helper.two() + c.Other.ONE; }\n";

        auto project = TProject::Create();
        TDocument* doc = TDocument::CreateFromFile(source).release();
        doc->LoadPieces([](qint64) {}, [](const char*, qsizetype) {});
        project->AddDocument(doc);
        project->SetFileName(env.path("proj/p.jpr"));
        project->SetClassPath("lib/helper.jar");
        project->SetOutputPath("classes");
        project->SetCompileOptions(" -nowarn -O -g");

        TDocumentCompile compile;
        QSignalSpy ended(&compile, &TDocumentCompile::finished);
        compile.start(*doc, edited, javac, java);
        QVERIFY(ended.wait(120000));
        const TCompileResult& r = compile.result();
        const QByteArray printed = TestEnv::readFile(r.OutputFile);
        QFile::remove(r.OutputFile);
        QVERIFY2(r.ExitedCleanly == std::optional<bool>(true), printed.constData());
        QCOMPARE(printed, QByteArray());
        QVERIFY(QFile::exists(env.path("proj/classes/a/b/Main.class")));
        QVERIFY(!QFile::exists(env.path("src/a/b/Main.class")));
        QCOMPARE(TestEnv::readFile(source), QByteArray("package a.b;\nclass Main {}\n"));
    }
};

QTEST_GUILESS_MAIN(TestCompileOptions)
#include "tst_compileoptions.moc"
