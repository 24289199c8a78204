// The compiler's command line: the options a project gives, and the source root a package
// declaration names; the arguments checked with the real JDK.
#include "tools/dosprocess.h"
#include "tools/javacoptions.h"

#include "support/testenv.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

using namespace bp;
using bp::test::TestEnv;

namespace {

QString jdkTool(const char* name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

// Runs the compiler as a compile does and returns what it printed.
QByteArray runJavac(const TJavacOptions& options, const QString& source, const QString& dir)
{
    TDosProcess javac;
    QSignalSpy ended(&javac, &TDosProcess::finished);
    javac.start(jdkTool("javac"), JavacArguments(options, source), dir);
    if (!ended.wait(120000) || !javac.error().isEmpty())
        return "(javac did not run)";
    const QString output = javac.takeOutputFile();
    const QByteArray printed = TestEnv::readFile(output);
    QFile::remove(output);
    return printed;
}

} // namespace

class TestJavacOptions : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void arguments()
    {
        QCOMPARE(JavacArguments({}, "/s/A.java"), QStringList{"/s/A.java"});
        const TJavacOptions all{" -nowarn -O  -g \"-J-Dx=a b\"", "/lib/x.jar:/lib/y dir",
                                "/out dir", "/src"};
        QCOMPARE(JavacArguments(all, "/src/a/A.java"),
                 (QStringList{"-nowarn", "-O", "-g", "-J-Dx=a b", "-classpath",
                              "/lib/x.jar:/lib/y dir", "-d", "/out dir", "-sourcepath", "/src",
                              "/src/a/A.java"}));
        // Nothing in the option text reaches a shell.
        QCOMPARE(JavacArguments({"$(rm -rf x) `y` ; z", {}, {}, {}}, "A.java"),
                 (QStringList{"$(rm", "-rf", "x)", "`y`", ";", "z", "A.java"}));
    }

    void packageName_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("package");
        QTest::newRow("none") << "class A {}" << "";
        QTest::newRow("simple") << "package a.b;\nclass A {}" << "a.b";
        QTest::newRow("blanks and comments")
            << "// header\n/* licence\n package no.way; */\n  package  a . /*x*/ b\n ;"
            << "a.b";
        QTest::newRow("annotated") << "@Deprecated(since = \"9\") @x.Y package p;" << "p";
        QTest::newRow("unicode letters, $ and _") << "package \u00e9t\u00e9._x$;" << "\u00e9t\u00e9._x$";
        QTest::newRow("missing semicolon") << "package a.b\nclass A {}" << "";
        QTest::newRow("trailing dot") << "package a.;" << "";
        QTest::newRow("digit first") << "package 1a;" << "";
        QTest::newRow("unclosed comment") << "/* package a;" << "";
        QTest::newRow("word starting with package") << "packages a;" << "";
        QTest::newRow("import first") << "import x.Y;\npackage a;" << "";
        QTest::newRow("empty") << "" << "";
    }
    void packageName()
    {
        QFETCH(QString, text);
        QFETCH(QString, package);
        QCOMPARE(JavaPackageName(text), package);
    }

    void sourceRoot_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("root");
        QTest::newRow("matching folders") << "/w/src/a/b/A.java" << "package a.b;" << "/w/src";
        QTest::newRow("one level") << "/w/a/A.java" << "package a;" << "/w";
        QTest::newRow("at the top") << "/a/A.java" << "package a;" << "/";
        QTest::newRow("no package") << "/w/a/A.java" << "class A {}" << "";
        QTest::newRow("folders differ") << "/w/x/b/A.java" << "package a.b;" << "";
        QTest::newRow("case differs") << "/w/A/A.java" << "package a;" << "";
        QTest::newRow("deeper than the path") << "/b/A.java" << "package a.b;" << "";
    }
    void sourceRoot()
    {
        QFETCH(QString, path);
        QFETCH(QString, text);
        QFETCH(QString, root);
        QCOMPARE(JavaSourceRoot(path, text), root);
    }

    // The real compiler finds a class of another package through the source root, a class
    // in a jar through the class path, and writes into the output folder.
    void realCompilerTakesTheArguments()
    {
        if (jdkTool("javac").isEmpty() || jdkTool("jar").isEmpty())
            QSKIP("the JDK's javac and jar are needed");
        TestEnv env;
        // A jar with lib.Helper.
        env.writeFile("libsrc/lib/Helper.java",
                      "package lib; public class Helper { public static int two() { return 2; } }");
        QCOMPARE(runJavac({"", "", env.path("libclasses"), ""}, env.path("libsrc/lib/Helper.java"),
                          env.dir()),
                 QByteArray());
        QVERIFY(QDir().mkpath(env.path("lib dir")));
        QCOMPARE(QProcess::execute(jdkTool("jar"), {"cf", env.path("lib dir/helper.jar"), "-C",
                                                    env.path("libclasses"), "lib/Helper.class"}),
                 0);

        const QString source =
            env.writeFile("src/a/b/Main.java",
                          "package a.b;\nclass Main { int x = lib.Helper.two() + c.Other.ONE; }\n");
        env.writeFile("src/c/Other.java", "package c; public class Other { public static final "
                                          "int ONE = 1; }\n");
        const QString dir = env.path("src/a/b");

        // Without the class path and the source root neither class is found.
        QVERIFY(runJavac({}, source, dir).contains("error"));

        const TJavacOptions options{" -nowarn -O -g", env.path("lib dir/helper.jar"),
                                    env.path("out"),
                                    JavaSourceRoot(source, QString::fromUtf8(
                                                               TestEnv::readFile(source)))};
        QCOMPARE(options.SourceRoot, env.path("src"));
        QVERIFY(QDir().mkpath(options.OutputDir));
        QCOMPARE(runJavac(options, source, dir), QByteArray());
        QVERIFY(QFile::exists(env.path("out/a/b/Main.class")));
        QVERIFY(!QFile::exists(env.path("src/a/b/Main.class")));
    }
};

QTEST_GUILESS_MAIN(TestJavacOptions)
#include "tst_javacoptions.moc"
