#include "model/brewpaddefs.h"
#include "model/document.h"
#include "model/textfile.h"
#include "platform/errors.h"
#include "platform/fileservices.h"
#include "support/testenv.h"

#include <QFile>
#include <QtTest>

#include <memory>

using namespace bp;
using bp::test::TestEnv;

Q_DECLARE_METATYPE(bp::TDocType)
Q_DECLARE_METATYPE(bp::TTextFormat::Encoding)
Q_DECLARE_METATYPE(bp::TTextFormat::LineEnd)

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

} // namespace

class TestBrewpadDefs : public QObject {
    Q_OBJECT
private slots:
    void docTypeOfExtension_data();
    void docTypeOfExtension();
    void typeTable();
    void textFormatDetect_data();
    void textFormatDetect();
    void byteExactRoundTrip_data();
    void byteExactRoundTrip();
    void encodeWritesFormatLineEnds();
    void encodeBeyondLatin1SwitchesToUtf8();
    void createNew_data();
    void createNew();
    void createFromFileAndSetFileName();
    void renameCopiesBytesAndForcesExtension();
    void renameRefusals();
    void saveLoadedAndNewDocuments();
    void saveFailureKeepsFlags();
    void documentListNeverDestroys();
};

void TestBrewpadDefs::docTypeOfExtension_data()
{
    QTest::addColumn<QString>("ext");
    QTest::addColumn<TDocType>("type");
    QTest::newRow("empty") << "" << TDocType::Other;
    QTest::newRow("lone dot") << "." << TDocType::Other;
    QTest::newRow(".JAV") << ".JAV" << TDocType::Other;
    QTest::newRow(".java") << ".java" << TDocType::Java;
    QTest::newRow("JAVA") << "JAVA" << TDocType::Java;
    QTest::newRow(".HtMl") << ".HtMl" << TDocType::Html;
    QTest::newRow(".Htm") << ".Htm" << TDocType::Html;
    QTest::newRow("txt") << "txt" << TDocType::Text;
    QTest::newRow(".text") << ".text" << TDocType::Other;
    QTest::newRow("..java") << "..java" << TDocType::Other;
}

void TestBrewpadDefs::docTypeOfExtension()
{
    QFETCH(QString, ext);
    QFETCH(TDocType, type);
    QCOMPARE(DocTypeOfExtension(ext), type);
}

void TestBrewpadDefs::typeTable()
{
    TDocTypeList list;
    const QStringList names = {"Java", "Html", "Text", "Other"};
    const QStringList filters = {"Java files (*.java)|*.java",
                                 "Html files (*.htm, *.html)|*.htm;*.html",
                                 "Text files (*.txt)|*.txt", "All files (*.*)|*.*"};
    const QStringList exts = {"java", "html", "txt", ""};
    QCOMPARE(list.Count(), 4);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(list.Name(i), names[i]);
        QCOMPARE(list.Filter(i).Filter, filters[i]);
        QCOMPARE(list.Filter(i).DefaultExt, exts[i]);
        QCOMPARE(DocTypeExtension(TDocType(i)), exts[i]);
    }
    QCOMPARE(list.IndexOf("Text"), 2);
    QCOMPARE(list.SaveDialogFilter(TDocType::Html),
             filters[1] + "|" + filters[0] + "|" + filters[2] + "|" + filters[3]);
    QCOMPARE(list.SaveDialogFilter(TDocType::Java), filters.join('|'));
    QCOMPARE(list.OpenDialogFilter(), filters.join('|'));
    list.Clear();
    QCOMPARE(list.Count(), 0);
    list.Fill();
    QCOMPARE(list.Name(3), QString("Other"));
}

void TestBrewpadDefs::textFormatDetect_data()
{
    const auto platform = TTextFormat::platformLineEnd();
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TTextFormat::Encoding>("encoding");
    QTest::addColumn<TTextFormat::LineEnd>("eol");
    QTest::newRow("LF") << QByteArray("a\nb\n") << TTextFormat::Utf8 << TTextFormat::LF;
    QTest::newRow("CRLF") << QByteArray("a\r\nb") << TTextFormat::Utf8 << TTextFormat::CRLF;
    QTest::newRow("CR") << QByteArray("a\rb\r") << TTextFormat::Utf8 << TTextFormat::CR;
    QTest::newRow("mostly LF") << QByteArray("a\r\nb\nc\n") << TTextFormat::Utf8 << TTextFormat::LF;
    QTest::newRow("tie") << QByteArray("a\r\nb\r") << TTextFormat::Utf8 << platform;
    QTest::newRow("none") << QByteArray("abc") << TTextFormat::Utf8 << platform;
    QTest::newRow("utf-8") << QByteArray("caf\xc3\xa9\n") << TTextFormat::Utf8 << TTextFormat::LF;
    QTest::newRow("bom") << QByteArray("\xef\xbb\xbfx\r\n") << TTextFormat::Utf8
                         << TTextFormat::CRLF;
    QTest::newRow("latin-1") << QByteArray("caf\xe9\r") << TTextFormat::Latin1 << TTextFormat::CR;
    QTest::newRow("truncated utf-8") << QByteArray("ab\xc3") << TTextFormat::Latin1 << platform;
}

void TestBrewpadDefs::textFormatDetect()
{
    QFETCH(QByteArray, bytes);
    QFETCH(TTextFormat::Encoding, encoding);
    QFETCH(TTextFormat::LineEnd, eol);
    const TTextFormat f = TTextFormat::detect(bytes);
    QCOMPARE(f.encoding, encoding);
    QCOMPARE(f.eol, eol);
}

void TestBrewpadDefs::byteExactRoundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("LF") << QByteArray("class A {\n}\n");
    QTest::newRow("CRLF, no final end") << QByteArray("one\r\ntwo");
    QTest::newRow("CR only") << QByteArray("one\rtwo\r\r");
    QTest::newRow("utf-8 with bom")
        << QByteArray("\xef\xbb\xbf\xc3\xa9t\xc3\xa9 \xf0\x9f\x98\x80\n");
    QTest::newRow("latin-1") << QByteArray("d\xe9j\xe0 \x80\x9f\xff\r\n");
    QTest::newRow("NUL byte") << QByteArray("a\0b\n", 4);
    QTest::newRow("invalid utf-8 inside") << QByteArray("ok \xc3\x28 bad\n");
    QTest::newRow("empty") << QByteArray();
}

void TestBrewpadDefs::byteExactRoundTrip()
{
    QFETCH(QByteArray, bytes);
    TTextFormat f = TTextFormat::detect(bytes);
    const QString text = decodeText(bytes, f);
    bool changed = true;
    QCOMPARE(encodeText(text, f, &changed), bytes);
    QVERIFY(!changed);
}

void TestBrewpadDefs::encodeWritesFormatLineEnds()
{
    const QString text = "a\r\nb\nc\rd";
    TTextFormat f{TTextFormat::Utf8, TTextFormat::CRLF};
    QCOMPARE(encodeText(text, f), QByteArray("a\r\nb\r\nc\r\nd"));
    f.eol = TTextFormat::LF;
    QCOMPARE(encodeText(text, f), QByteArray("a\nb\nc\nd"));
    f.eol = TTextFormat::CR;
    QCOMPARE(encodeText(text + "\r\n", f), QByteArray("a\rb\rc\rd\r"));
    QCOMPARE(decodeText("x\r\ny\rz\n", f), QString("x\r\ny\rz\n"));
    QCOMPARE(decodeText("\xef\xbb\xbfx", f), QString(QChar(0xFEFF)) + "x");
}

void TestBrewpadDefs::encodeBeyondLatin1SwitchesToUtf8()
{
    TTextFormat f = TTextFormat::detect("caf\xe9\n");
    QCOMPARE(f.encoding, TTextFormat::Latin1);
    const QString typed = decodeText("caf\xe9\n", f) + QChar(0x20AC);
    bool changed = false;
    QCOMPARE(encodeText(typed, f, &changed), QByteArray("caf\xc3\xa9\n\xe2\x82\xac"));
    QVERIFY(changed);
    QCOMPARE(f.encoding, TTextFormat::Utf8);
}

void TestBrewpadDefs::createNew_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<TDocType>("type");
    QTest::addColumn<QString>("title");
    QTest::newRow("java") << 1 << TDocType::Java << "New_1.java";
    QTest::newRow("html") << 2 << TDocType::Html << "New_2.html";
    QTest::newRow("text") << 3 << TDocType::Text << "New_3.txt";
    QTest::newRow("other") << 3 << TDocType::Other << "New_3.";
}

void TestBrewpadDefs::createNew()
{
    QFETCH(int, number);
    QFETCH(TDocType, type);
    QFETCH(QString, title);
    TestEnv env;
    auto doc = TDocument::CreateNew(number, type);
    QCOMPARE(doc->Title(), title);
    QCOMPARE(doc->DocType(), type);
    QVERIFY(doc->FileName().isEmpty());
    QCOMPARE(doc->Path(), files::currentDir());
    QVERIFY(doc->IsNew());
    QVERIFY(doc->Modified());
    QVERIFY(!doc->IsOpen());
    QVERIFY(!doc->Project());
}

void TestBrewpadDefs::createFromFileAndSetFileName()
{
    TestEnv env;
    const QString page = env.writeFile("web/Page.Htm", "<p>");
    auto doc = TDocument::CreateFromFile(page);
    QCOMPARE(doc->DocType(), TDocType::Html);
    QCOMPARE(doc->FileName(), QString("Page.Htm"));
    QCOMPARE(doc->Path(), env.path("web") + "/");
    QCOMPARE(doc->FullPath(), page);
    QCOMPARE(doc->Title(), QString("Page.Htm"));
    QVERIFY(!doc->IsNew() && !doc->Modified());

    const QString missing = env.path("Gone.java");
    QCOMPARE(errorOf([&] { TDocument::CreateFromFile(missing); }), "Can't find '" + missing + "'");

    QStringList names;
    doc->SetOnNameChange([&](TDocument* d, const QString& n) { names << d->Title() + ":" + n; });
    QCOMPARE(errorOf([&] { doc->SetFileName(missing); }), "Can't find '" + missing + "'");
    QCOMPARE(doc->FullPath(), page);
    QVERIFY(names.isEmpty());

    doc->SetFileName(env.writeFile("Notes.text", "n"));
    QCOMPARE(doc->DocType(), TDocType::Other);
    QCOMPARE(names, QStringList{"Notes.text:Notes.text"});
}

void TestBrewpadDefs::renameCopiesBytesAndForcesExtension()
{
    TestEnv env;
    const QByteArray bytes("class Hello {\r\xe9\0}", 17);
    auto doc = TDocument::CreateFromFile(env.writeFile("Hello.java", bytes));
    QStringList names;
    doc->SetOnNameChange([&](TDocument*, const QString& n) { names << n; });

    doc->Rename("Hello.java");
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
}

void TestBrewpadDefs::renameRefusals()
{
    TestEnv env;
    auto doc = TDocument::CreateFromFile(env.writeFile("Hello.java", "hello"));
    env.writeFile("Main.java", "main");
    QCOMPARE(errorOf([&] { doc->Rename("Main"); }),
             "'" + env.path("Main.java") + "' already exists.");
    QCOMPARE(TestEnv::readFile(env.path("Main.java")), QByteArray("main"));
    QCOMPARE(TestEnv::readFile(env.path("Hello.java")), QByteArray("hello"));
    QCOMPARE(doc->FileName(), QString("Hello.java"));

    QVERIFY(!errorOf([&] { doc->Rename("sub/Other.java"); }).isEmpty());
    QCOMPARE(doc->FileName(), QString("Hello.java"));

    auto fresh = TDocument::CreateNew(1, TDocType::Java);
    QVERIFY(!errorOf([&] { fresh->Rename("Fresh"); }).isEmpty());
    QVERIFY(!QFile::exists(env.path("Fresh.java")));
    QVERIFY(fresh->FileName().isEmpty());

    QFile::remove(env.path("Hello.java")); // the old file can no longer be read
    QCOMPARE(errorOf([&] { doc->Rename("Later"); }), "Can't find '" + env.path("Hello.java") + "'");
    QVERIFY(!QFile::exists(env.path("Later.java")));
}

void TestBrewpadDefs::saveLoadedAndNewDocuments()
{
    TestEnv env;
    // A loaded text is written back exactly, without a final line end added.
    const QByteArray bytes("x\r\ny\xe9\0z", 7);
    auto loaded = TDocument::CreateFromFile(env.writeFile("Old.txt", bytes));
    QString text;
    TTextFormat format;
    loaded->LoadInto(text, format);
    QCOMPARE(format.encoding, TTextFormat::Latin1);
    QVERIFY(!loaded->SaveFrom(text, format));
    QCOMPARE(TestEnv::readFile(loaded->FullPath()), bytes);

    // Typed text gets one line end after its last line, never a second one.
    auto fresh = TDocument::CreateNew(4, TDocType::Text);
    TTextFormat crlf{TTextFormat::Utf8, TTextFormat::CRLF};
    QCOMPARE(fresh->BytesToSave("a\nb", crlf), QByteArray("a\r\nb\r\n"));
    QCOMPARE(fresh->BytesToSave("", crlf), QByteArray());
    const QString path = env.writeFile("New_4.txt", fresh->BytesToSave("a\nb", crlf));
    fresh->SetFileName(path);
    fresh->SaveFrom("a\nb\nc\n", crlf);
    QCOMPARE(TestEnv::readFile(path), QByteArray("a\r\nb\r\nc\r\n"));
    QVERIFY(!fresh->IsNew() && !fresh->Modified());
}

void TestBrewpadDefs::saveFailureKeepsFlags()
{
    TestEnv env;
    // A never-saved document names its directory only: the write must fail.
    auto fresh = TDocument::CreateNew(1, TDocType::Java);
    TTextFormat format{TTextFormat::Latin1, TTextFormat::LF};
    QVERIFY(!errorOf([&] { fresh->SaveFrom(QString(QChar(0x20AC)), format); }).isEmpty());
    QVERIFY(fresh->IsNew() && fresh->Modified());
    QCOMPARE(format.encoding, TTextFormat::Latin1);
}

void TestBrewpadDefs::documentListNeverDestroys()
{
    TestEnv env;
    auto a = TDocument::CreateNew(1, TDocType::Java);
    auto b = TDocument::CreateNew(2, TDocType::Html);
    const auto wa = watch(a.get());
    const auto wb = watch(b.get());
    {
        TDocumentList list;
        QCOMPARE(errorOf([&] { list.Add("x", nullptr); }), QString("not a TDocument"));
        QCOMPARE(list.Count(), 0);
        list.Add("A.java", a.get());
        list.Add("B.html", b.get());
        QCOMPARE(list.IndexOf("a.JAVA"), -1);
        QCOMPARE(list.IndexOf("a.JAVA", Qt::CaseInsensitive), 0);
        list.SetDocument(1, nullptr);
        QCOMPARE(list.Document(1), nullptr);
        list.Delete(0);
        QCOMPARE(list.Count(), 1);
        QCOMPARE(list.Name(0), QString("B.html"));
        list.Add("A.java", a.get());
        list.Clear();
        QCOMPARE(list.Count(), 0);
        list.Add("B.html", b.get());
    }
    QVERIFY(!wa.expired());
    QVERIFY(!wb.expired());
    a.reset();
    QVERIFY(wa.expired()); // the watch itself works
}

QTEST_GUILESS_MAIN(TestBrewpadDefs)
#include "tst_brewpaddefs.moc"
