#include "model/brewpaddefs.h"
#include "model/document.h"
#include "model/textfile.h"
#include "platform/errors.h"
#include "platform/fileservices.h"
#include "support/testenv.h"

#include <QFile>
#include <QtTest>

using namespace bp;
using bp::test::TestEnv;
using F = bp::TTextFormat;

Q_DECLARE_METATYPE(bp::TTextFormat)

namespace {

QString errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EBrewpadError& e) {
        return e.message();
    }
    return QString();
}

} // namespace

class TestBrewpadDefs : public QObject {
    Q_OBJECT
private slots:
    void docTypes()
    {
        const QList<std::pair<QString, TDocType>> extensions{
            {"", TDocType::Other},    {".JAV", TDocType::Other},  {".java", TDocType::Java},
            {"JAVA", TDocType::Java}, {".HtMl", TDocType::Html},  {"Htm", TDocType::Html},
            {"txt", TDocType::Text},  {"..java", TDocType::Other}};
        for (const auto& [ext, type] : extensions)
            QVERIFY2(DocTypeOfExtension(ext) == type, qPrintable(ext));

        const TDocTypeList list;
        QCOMPARE(list.IndexOf("Text"), 2);
        QCOMPARE(list.Filter(TDocType::Html).DefaultExt, QString("html"));
        QCOMPARE(list.Filter(TDocType::Other).DefaultExt, QString());
        const QString java = "Java files (*.java)|*.java", all = "All files (*.*)|*.*",
                      html = "Html files (*.htm, *.html)|*.htm;*.html",
                      text = "Text files (*.txt)|*.txt";
        QCOMPARE(list.OpenDialogFilter(), QStringList({java, html, text, all}).join('|'));
        QCOMPARE(list.SaveDialogFilter(TDocType::Html),
                 QStringList({html, java, text, all}).join('|'));
    }

    void byteExactRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<F>("format");
        const auto row = [](const char* tag, const QByteArray& bytes, F::Encoding e,
                            F::LineEnd eol) {
            QTest::newRow(tag) << bytes << F{e, eol};
        };
        row("LF", "class A {\n}\n", F::Utf8, F::LF);
        row("CRLF, no final end", "one\r\ntwo", F::Utf8, F::CRLF);
        row("CR only", "one\rtwo\r\r", F::Utf8, F::CR);
        row("utf-8 with bom", "\xef\xbb\xbf\xc3\xa9t\xc3\xa9 \xf0\x9f\x98\x80\n", F::Utf8, F::LF);
        row("latin-1", "d\xe9j\xe0 \x80\x9f\xff\r\n", F::Latin1, F::CRLF);
        row("NUL byte", QByteArray("a\0b\n", 4), F::Utf8, F::LF);
        row("invalid utf-8 inside", "ok \xc3\x28 bad\n", F::Latin1, F::LF);
        row("truncated utf-8", "ab\xc3", F::Latin1, F::platformLineEnd());
        row("empty", QByteArray(), F::Utf8, F::platformLineEnd());
    }
    void byteExactRoundTrip()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(F, format);
        F f = F::detect(bytes);
        QCOMPARE(f, format);
        // Read in pieces as the editor does (the same format), and back.
        TestEnv env;
        QByteArray utf8;
        const F read = readTextFile(env.writeFile(QStringLiteral("t"), bytes), [](qint64) {},
                                    [&](const char* p, qsizetype n) { utf8.append(p, n); });
        QCOMPARE(read, format);
        QCOMPARE(fileBytesFromEditorUtf8(utf8, f), bytes);
    }

    void lineEndsAndEncoding()
    {
        // The most common line end wins; a tie gives the platform's.
        QCOMPARE(F::detect("a\r\nb\nc\n").eol, F::LF);
        QCOMPARE(F::detect("a\r\nb\r").eol, F::platformLineEnd());

        // Every line break becomes the file's line end.
        F f{F::Utf8, F::CRLF};
        QCOMPARE(fileBytesFromEditorUtf8("a\r\nb\nc\rd", f), QByteArray("a\r\nb\r\nc\r\nd"));
        f.eol = F::CR;
        QCOMPARE(fileBytesFromEditorUtf8("a\r\nb\nc\n", f), QByteArray("a\rb\rc\r"));

        // Typed text beyond Latin-1 switches the file to UTF-8 rather than lose it.
        f = F::detect("caf\xe9\n");
        bool changed = false;
        QCOMPARE(fileBytesFromEditorUtf8("caf\xc3\xa9\n\xe2\x82\xac", f, &changed),
                 QByteArray("caf\xc3\xa9\n\xe2\x82\xac"));
        QVERIFY(changed);
        QCOMPARE(f.encoding, F::Utf8);
        f.encoding = F::Latin1;
        QCOMPARE(fileBytesFromEditorUtf8("caf\xc3\xa9", f), QByteArray("caf\xe9"));
    }

    void createNew()
    {
        TestEnv env;
        const QStringList titles{"New_1.java", "New_2.html", "New_3.txt", "New_4."};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(TDocument::CreateNew(i + 1, TDocType(i))->Title(), titles[i]);
        auto doc = TDocument::CreateNew(3, TDocType::Html);
        QCOMPARE(doc->DocType(), TDocType::Html);
        QVERIFY(doc->FileName().isEmpty());
        QCOMPARE(doc->Path(), files::currentDir()); // without a trailing separator
        QVERIFY(doc->IsNew() && doc->Modified() && !doc->IsOpen() && !doc->Project());
    }

    void createFromFileAndSetFileName()
    {
        TestEnv env;
        const QString page = env.writeFile("web/Page.Htm", "<p>");
        auto doc = TDocument::CreateFromFile(page);
        QCOMPARE(doc->DocType(), TDocType::Html);
        QCOMPARE(doc->FileName(), QString("Page.Htm"));
        QCOMPARE(doc->Path(), env.path("web") + "/");
        QVERIFY(!doc->IsNew() && !doc->Modified());

        const QString missing = env.path("Gone.java");
        QStringList names;
        doc->SetOnNameChange(
            [&](TDocument* d, const QString& n) { names << d->Title() + ":" + n; });
        QCOMPARE(errorOf([&] { doc->SetFileName(missing); }), "Can't find '" + missing + "'");
        QCOMPARE(doc->FullPath(), page);
        doc->SetFileName(env.writeFile("Notes.text", "n"));
        QCOMPARE(doc->DocType(), TDocType::Other);
        QCOMPARE(names, QStringList{"Notes.text:Notes.text"});
    }

    void rename()
    {
        TestEnv env;
        const QByteArray bytes("class Hello {\r\xe9\0}", 17);
        auto doc = TDocument::CreateFromFile(env.writeFile("Hello.java", bytes));
        QStringList names;
        doc->SetOnNameChange([&](TDocument*, const QString& n) { names << n; });

        doc->Rename("");
        doc->Rename("Hello.txt"); // forced back to Hello.java: must not delete the file
        QCOMPARE(TestEnv::readFile(env.path("Hello.java")), bytes);
        QVERIFY(names.isEmpty());

        doc->Rename("Main.txt");
        QCOMPARE(doc->FileName(), QString("Main.java"));
        QCOMPARE(doc->Title(), QString("Hello.java"));
        QCOMPARE(TestEnv::readFile(env.path("Main.java")), bytes);
        QVERIFY(!QFile::exists(env.path("Hello.java")));
        QCOMPARE(names, QStringList{"Main.java"});

        auto other = TDocument::CreateFromFile(env.writeFile("README", "r"));
        other->Rename("NOTES");
        QCOMPARE(other->FileName(), QString("NOTES."));
        QVERIFY(QFile::exists(env.path("NOTES.")));

        // Refusals change nothing: another existing file, a path, a vanished file.
        env.writeFile("Taken.java", "taken");
        QCOMPARE(errorOf([&] { doc->Rename("Taken"); }),
                 "'" + env.path("Taken.java") + "' already exists.");
        QCOMPARE(TestEnv::readFile(env.path("Taken.java")), QByteArray("taken"));
        QCOMPARE(TestEnv::readFile(env.path("Main.java")), bytes);
        QVERIFY(!errorOf([&] { doc->Rename("sub/Other.java"); }).isEmpty());
        QCOMPARE(doc->FileName(), QString("Main.java"));
        QFile::remove(env.path("Main.java"));
        QCOMPARE(errorOf([&] { doc->Rename("Later"); }),
                 "Can't find '" + env.path("Main.java") + "'");
        QVERIFY(!QFile::exists(env.path("Later.java")));
    }

    void saveLoadedAndNewDocuments()
    {
        TestEnv env;
        // A loaded text is written back exactly, without a final line end added.
        const QByteArray bytes("x\r\ny\xe9\0z", 7);
        auto loaded = TDocument::CreateFromFile(env.writeFile("Old.txt", bytes));
        QByteArray utf8;
        F format = loaded->LoadPieces([](qint64) {},
                                      [&](const char* p, qsizetype n) { utf8.append(p, n); });
        QCOMPARE(format.encoding, F::Latin1);
        loaded->SaveFromUtf8(utf8, format);
        QCOMPARE(TestEnv::readFile(loaded->FullPath()), bytes);

        // Typed text gets one line end after its last line, never a second one.
        auto fresh = TDocument::CreateNew(4, TDocType::Text);
        F crlf{F::Utf8, F::CRLF};
        QCOMPARE(fresh->Utf8BytesToSave("", crlf), QByteArray());
        // A never-saved document names its directory only: the write fails
        // and leaves the flags and the format alone.
        F latin1{F::Latin1, F::LF};
        QVERIFY(!errorOf([&] { fresh->SaveFromUtf8("\xe2\x82\xac", latin1); }).isEmpty());
        QVERIFY(fresh->IsNew() && fresh->Modified());
        QCOMPARE(latin1.encoding, F::Latin1);

        fresh->SetFileName(env.writeFile("New_4.txt", fresh->Utf8BytesToSave("a\nb", crlf)));
        QCOMPARE(TestEnv::readFile(env.path("New_4.txt")), QByteArray("a\r\nb\r\n"));
        fresh->SaveFromUtf8("a\nb\nc\n", crlf);
        QCOMPARE(TestEnv::readFile(env.path("New_4.txt")), QByteArray("a\r\nb\r\nc\r\n"));
        QVERIFY(!fresh->IsNew() && !fresh->Modified());
    }
};

QTEST_GUILESS_MAIN(TestBrewpadDefs)
#include "tst_brewpaddefs.moc"
