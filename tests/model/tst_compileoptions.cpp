// What a document's project and package put on the compiler's command line.
#include "model/compileoptions.h"

#include "model/document.h"
#include "model/project.h"
#include "platform/errors.h"
#include "support/testenv.h"

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
};

QTEST_GUILESS_MAIN(TestCompileOptions)
#include "tst_compileoptions.moc"
