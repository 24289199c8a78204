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
    // Devices and the system's generated files are never read as documents: /dev/zero
    // would never end.
    void specialFilesAreNotRead_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("device") << "/dev/zero";
        QTest::newRow("generated") << "/proc/self/status";
    }
    void specialFilesAreNotRead()
    {
        QFETCH(QString, path);
        if (!QFileInfo::exists(path))
            QSKIP("not on this system");
        std::unique_ptr<TDocument> doc = TDocument::CreateFromFile(path);
        bool read = false;
        try {
            doc->LoadPieces([](qint64) {}, [&](const char*, qsizetype) { read = true; });
            QFAIL("read");
        } catch (const EBrewpadError& e) {
            QCOMPARE(e.message(), "'" + path + "' is not a file that can be opened as a document.");
        }
        QVERIFY(!read);
    }

    void docTypes()
    {
        const QList<std::pair<QString, TDocType>> extensions{
            {"", TDocType::Other},    {".JAV", TDocType::Other},  {".java", TDocType::Java},
            {"JAVA", TDocType::Java}, {".HtMl", TDocType::Html},  {"Htm", TDocType::Html},
            {"txt", TDocType::Text},  {"..java", TDocType::Other}};
        for (const auto& [ext, type] : extensions)
            QVERIFY2(DocTypeOfExtension(ext) == type, qPrintable(ext));
        const TDocTypeList list;
        QCOMPARE(list.Filter(TDocType::Html).DefaultExt, QString("html"));
        QCOMPARE(list.SaveDialogFilter(TDocType::Html),
                 "Html files (*.htm, *.html)|*.htm;*.html|Java files (*.java)|*.java|"
                 "Text files (*.txt)|*.txt|All files (*.*)|*.*");
    }

    void byteExactRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<F>("format");
        QTest::addColumn<QByteArray>("text"); // what the editor gets
        const auto row = [](const char* tag, const QByteArray& bytes, F::Encoding e,
                            F::LineEnd eol, const QByteArray& text, bool bom = false,
                            bool binary = false) {
            QTest::newRow(tag) << bytes << F{e, eol, bom, binary} << text;
        };
        row("CRLF, no final end", "one\r\ntwo", F::Utf8, F::CRLF, "one\r\ntwo");
        row("CR only", "one\rtwo\r\r", F::Utf8, F::CR, "one\rtwo\r\r");
        row("mixed", "a\r\nb\nc\rd\n\r", F::Utf8, F::LF, "a\r\nb\nc\rd\n\r");
        row("utf-8 with bom", "\xef\xbb\xbf\xc3\xa9t\xc3\xa9 \xf0\x9f\x98\x80\n", F::Utf8, F::LF,
            "\xc3\xa9t\xc3\xa9 \xf0\x9f\x98\x80\n", true);
        row("latin-1", "d\xe9j\xe0 \x80\x9f\xff\r\n", F::Latin1, F::CRLF,
            "d\xc3\xa9j\xc3\xa0 \xc2\x80\xc2\x9f\xc3\xbf\r\n");
        row("latin-1 starting like a bom", "\xef\xbb\xbf\xff", F::Latin1,
            F::platformLineEnd(), "\xc3\xaf\xc2\xbb\xc2\xbf\xc3\xbf");
        row("invalid utf-8 inside", "ok \xc3\x28 bad\n", F::Latin1, F::LF,
            "ok \xc3\x83( bad\n");
        row("truncated utf-8", "ab\xc3", F::Latin1, F::platformLineEnd(), "ab\xc3\x83");
        row("empty", QByteArray(), F::Utf8, F::platformLineEnd(), QByteArray());
        row("utf-16 le", QByteArray("\xff\xfe" "a\0\r\0\n\0\xac\x20\n\0", 12), F::Utf16LE, F::LF,
            "a\r\n\xe2\x82\xac\n", true);
        row("utf-16 be, surrogate pair", QByteArray("\xfe\xff\xd8\x3d\xde\x00\0\r", 8),
            F::Utf16BE, F::CR, "\xf0\x9f\x98\x80\r", true);
        row("utf-16 mark, odd length", QByteArray("\xff\xfe" "a", 3), F::Latin1,
            F::platformLineEnd(), "\xc3\xbf\xc3\xbe" "a");
        row("utf-16 mark, lone surrogate", QByteArray("\xff\xfe\x00\xd8" "a\0", 6), F::Latin1,
            F::platformLineEnd(), QByteArray("\xc3\xbf\xc3\xbe\0\xc3\x98" "a\0", 9), false, true);
        row("nul bytes", QByteArray("\x7f" "ELF\0\x01\n", 7), F::Utf8, F::LF,
            QByteArray("\x7f" "ELF\0\x01\n", 7), false, true);
        // Longer texts are counted sixteen bytes at a time: line ends split
        // across those blocks, and a NUL far into the text.
        const QByteArray block(15, 'a');
        const QByteArray crlfAcross = (block + "\r\n").repeated(3) + "b\n";
        row("CR LF across blocks", crlfAcross, F::Utf8, F::CRLF, crlfAcross);
        const QByteArray crThenLf = block + "\r" + QByteArray("b\n").repeated(5);
        row("CR ending a block, LFs after", crThenLf, F::Utf8, F::LF, crThenLf);
        const QByteArray lateNul =
            QByteArray("a\n").repeated(20) + QByteArray("\0x", 2) + QByteArray("b\n").repeated(10);
        row("NUL after many blocks", lateNul, F::Utf8, F::LF, lateNul, false, true);
    }
    void byteExactRoundTrip()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(F, format);
        QFETCH(QByteArray, text);
        QCOMPARE(F::detect(bytes), format);
        // A document reads its file in pieces as the editor does, remembers the format and
        // saves the same bytes back.
        TestEnv env;
        const auto doc = TDocument::CreateFromFile(env.writeFile(QStringLiteral("t"), bytes));
        QByteArray utf8;
        doc->LoadPieces([](qint64) {}, [&](const char* p, qsizetype n) { utf8.append(p, n); });
        QCOMPARE(doc->Format(), format);
        QCOMPARE(utf8, text);
        QFile::remove(doc->FullPath());
        doc->SaveFromUtf8(utf8);
        QCOMPARE(TestEnv::readFile(doc->FullPath()), bytes);
        QCOMPARE(doc->Format(), format);
    }

    // A file with mixed line ends, edited (the editor breaks every line with CR LF) and saved:
    // each line the text still holds keeps its own end, new lines get the most common one.
    void mixedLineEndsFollowTheirLines_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("edited");
        QTest::addColumn<QByteArray>("saved");
        const QByteArray file = "a\r\nb\nc\rd\ne\n";
        QTest::newRow("unchanged") << file << QByteArray("a\r\nb\r\nc\r\nd\r\ne\r\n") << file;
        QTest::newRow("line edited in place")
            << file << QByteArray("a\r\nB!\r\nc\r\nd\r\ne\r\n") << QByteArray("a\r\nB!\nc\rd\ne\n");
        QTest::newRow("line inserted")
            << file << QByteArray("a\r\nnew\r\nb\r\nc\r\nd\r\ne\r\n")
            << QByteArray("a\r\nnew\nb\nc\rd\ne\n");
        QTest::newRow("lines deleted")
            << file << QByteArray("b\r\nc\r\ne\r\n") << QByteArray("b\nc\re\n");
        QTest::newRow("line moved")
            << QByteArray("x\ra\r\nb\nc\nd\n") << QByteArray("x\r\nb\r\nc\r\na\r\nd\r\n")
            << QByteArray("x\rb\nc\na\nd\n");
        QTest::newRow("several inserted and replaced")
            << file << QByteArray("0\r\na\r\nX\r\nY\r\nd\r\ne\r\nf")
            << QByteArray("0\na\r\nX\nY\rd\ne\nf");
        QTest::newRow("repeated lines")
            << QByteArray("}\r\n}\n}\r}\n") << QByteArray("}\r\n}\r\nnew\r\n}\r\n}\r\n")
            << QByteArray("}\r\n}\nnew\n}\r}\n");
    }
    void mixedLineEndsFollowTheirLines()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, edited);
        QFETCH(QByteArray, saved);
        TestEnv env;
        const auto doc = TDocument::CreateFromFile(env.writeFile(QStringLiteral("m.txt"), file));
        doc->LoadPieces([](qint64) {}, [](const char*, qsizetype) {});
        QCOMPARE(doc->Utf8BytesToSave(edited), saved);
        doc->SaveFromUtf8(edited);
        QCOMPARE(TestEnv::readFile(doc->FullPath()), saved);
        // The next save starts from what was written.
        QCOMPARE(doc->Utf8BytesToSave(edited), saved);
    }

    // Once the lines that made the line ends mixed are gone, the remaining style is the one
    // new lines take.
    void lineEndsThatAgreeAgainSetTheStyle()
    {
        TestEnv env;
        const auto doc = TDocument::CreateFromFile(
            env.writeFile(QStringLiteral("m.txt"), "a\nb\nc\r\n"));
        doc->LoadPieces([](qint64) {}, [](const char*, qsizetype) {});
        QCOMPARE(doc->Format().eol, F::LF);
        doc->SaveFromUtf8("c\r\n");
        QCOMPARE(doc->Format().eol, F::CRLF);
        doc->SaveFromUtf8("c\r\nd\r\n");
        QCOMPARE(TestEnv::readFile(doc->FullPath()), QByteArray("c\r\nd\r\n"));
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
        QVERIFY(changed && f.encoding == F::Utf8);
        f.encoding = F::Latin1;
        QCOMPARE(fileBytesFromEditorUtf8("caf\xc3\xa9", f), QByteArray("caf\xe9"));
    }

    void fileNamesAndRename()
    {
        TestEnv env;
        const QByteArray bytes("class Hello {\r\xe9\0}", 17);
        auto doc = TDocument::CreateFromFile(env.writeFile("src/Hello.java", bytes));
        QCOMPARE(doc->Path(), env.path("src") + "/");
        QVERIFY(doc->DocType() == TDocType::Java && !doc->IsNew() && !doc->Modified());
        QStringList names; // title:new name
        doc->SetOnNameChange(
            [&](TDocument* d, const QString& n) { names << d->Title() + ":" + n; });
        doc->Rename("");
        doc->Rename("Hello.txt"); // forced back to Hello.java: must not delete the file
        QCOMPARE(TestEnv::readFile(env.path("src/Hello.java")), bytes);
        const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        QVERIFY(QFile::setPermissions(env.path("src/Hello.java"), ownerOnly));
        doc->Rename("Main.txt");
        QCOMPARE(TestEnv::readFile(env.path("src/Main.java")), bytes);
        // The file keeps its mode.
        QCOMPARE(QFile::permissions(env.path("src/Main.java")) &
                     ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
                 ownerOnly);
        QVERIFY(!QFile::exists(env.path("src/Hello.java")));
        QCOMPARE(names, QStringList{"Hello.java:Main.java"}); // the title stays

        // Refusals change nothing: another existing file, a path, a missing file.
        env.writeFile("src/Taken.java", "taken");
        QCOMPARE(errorOf([&] { doc->Rename("Taken"); }),
                 "'" + env.path("src/Taken.java") + "' already exists.");
        QCOMPARE(TestEnv::readFile(env.path("src/Taken.java")), QByteArray("taken"));
        QVERIFY(!errorOf([&] { doc->Rename("sub/Other.java"); }).isEmpty());
        const QString missing = env.path("Gone.java");
        QCOMPARE(errorOf([&] { doc->SetFileName(missing); }), "Can't find '" + missing + "'");
        QCOMPARE(doc->FullPath(), env.path("src/Main.java"));
        QFile::remove(env.path("src/Main.java"));
        QCOMPARE(errorOf([&] { doc->Rename("Later"); }),
                 "Can't find '" + env.path("src/Main.java") + "'");
        QVERIFY(!QFile::exists(env.path("src/Later.java")));

        // A file without a known extension makes an Other document; its names end with a dot.
        doc->SetFileName(env.writeFile("README", "r"));
        QCOMPARE(doc->DocType(), TDocType::Other);
        doc->Rename("NOTES");
        QVERIFY(QFile::exists(env.path("NOTES.")));
        QCOMPARE(names.mid(1), (QStringList{"README:README", "README:NOTES."}));
    }

    // Typed text gets the platform's line ends and one after its last line, never a second one.
    void saveNewDocument()
    {
        TestEnv env;
        auto fresh = TDocument::CreateNew(4, TDocType::Text);
        QCOMPARE(fresh->Path(), files::currentDir()); // without a trailing separator
        QVERIFY(fresh->FileName().isEmpty() && fresh->IsNew() && fresh->Modified());
        QVERIFY(!fresh->IsOpen() && !fresh->Project());
        QCOMPARE(fresh->Format(), (F{F::Utf8, F::platformLineEnd()}));
        QCOMPARE(fresh->Utf8BytesToSave(""), QByteArray());
        // Naming only its directory, the write fails and leaves the flags alone.
        QVERIFY(!errorOf([&] { fresh->SaveFromUtf8("x"); }).isEmpty());
        QVERIFY(fresh->IsNew() && fresh->Modified());

        const QByteArray eol = F::lineEndBytes(F::platformLineEnd());
        fresh->WriteUtf8(env.path("New_4.txt"), "a\r\nb");
        QVERIFY(fresh->IsNew());
        fresh->SetFileName(env.path("New_4.txt"));
        QCOMPARE(TestEnv::readFile(env.path("New_4.txt")), "a" + eol + "b" + eol);
        fresh->SaveFromUtf8("a\nb\nc\n");
        QCOMPARE(TestEnv::readFile(env.path("New_4.txt")), "a" + eol + "b" + eol + "c" + eol);
        QVERIFY(!fresh->IsNew() && !fresh->Modified());
    }

    // A Latin-1 file stays Latin-1 until its text needs more; a failed write changes nothing.
    void documentKeepsItsFormat()
    {
        TestEnv env;
        // A name too long for the save file's temporary name: every write fails, even as root.
        const QString name = env.writeFile(QString(250, 'n'), "caf\xe9\r\n");
        const auto doc = TDocument::CreateFromFile(name);
        doc->LoadPieces([](qint64) {}, [](const char*, qsizetype) {});
        QCOMPARE(doc->Format(), (F{F::Latin1, F::CRLF}));
        QCOMPARE(doc->Utf8BytesToSave("\xe2\x82\xac\n"), QByteArray("\xe2\x82\xac\r\n"));
        QCOMPARE(doc->Format().encoding, F::Latin1); // only a write changes it
        QVERIFY(!errorOf([&] { doc->SaveFromUtf8("\xe2\x82\xac\n"); }).isEmpty());
        QCOMPARE(doc->Format().encoding, F::Latin1);
        QCOMPARE(TestEnv::readFile(name), QByteArray("caf\xe9\r\n"));

        const QString other = env.path("other.txt");
        doc->WriteUtf8(other, "caf\xc3\xa9\n");
        QCOMPARE(TestEnv::readFile(other), QByteArray("caf\xe9\r\n"));
        doc->WriteUtf8(other, "\xe2\x82\xac\n");
        QCOMPARE(doc->Format(), (F{F::Utf8, F::CRLF}));
        doc->WriteUtf8(other, "caf\xc3\xa9\n");
        QCOMPARE(TestEnv::readFile(other), QByteArray("caf\xc3\xa9\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestBrewpadDefs)
#include "tst_brewpaddefs.moc"
