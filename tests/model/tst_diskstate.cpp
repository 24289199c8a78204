// A document's record of its file on disk: what it read or wrote last, against which another
// program's change (or removal) of the file shows.
#include "model/document.h"
#include "support/testenv.h"

#include <QtTest>

using namespace bp;
using bp::test::TestEnv;

namespace {

std::unique_ptr<TDocument> loaded(const QString& path)
{
    auto doc = TDocument::CreateFromFile(path);
    doc->LoadPieces([](qint64) {}, [](const char*, qsizetype) {});
    return doc;
}

} // namespace

class TestDiskState : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A document never saved has no file to compare, even where its path names one.
    void newDocumentHasNothingToCompare()
    {
        TestEnv env;
        const auto doc = TDocument::CreateNew(1, TDocType::Text);
        QCOMPARE(doc->DiskState(), TDiskState::Unchanged);
    }

    void outsideChangeOfTheSameSizeShows()
    {
        TestEnv env;
        const QString file = env.writeFile("A.java", "class A {}\n");
        const auto doc = loaded(file);
        QCOMPARE(doc->DiskState(), TDiskState::Unchanged);
        TestEnv::changeOutside(file, "class B {}\n");
        QCOMPARE(doc->DiskState(), TDiskState::Changed);
    }

    void removedFileIsGone_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::newRow("deleted") << false;
        QTest::newRow("a folder in its place") << true;
    }
    void removedFileIsGone()
    {
        QFETCH(bool, folder);
        TestEnv env;
        const QString file = env.writeFile("a.txt", "a\n");
        const auto doc = loaded(file);
        QVERIFY(QFile::remove(file));
        if (folder)
            QVERIFY(QDir().mkdir(file));
        QCOMPARE(doc->DiskState(), TDiskState::Gone);
    }

    // Reading the file again, saving over it, or saving as it takes the file as it is then.
    void readOrWriteTakesTheFileAsItIs_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("load") << "load";
        QTest::newRow("save") << "save";
        QTest::newRow("save as") << "save as";
    }
    void readOrWriteTakesTheFileAsItIs()
    {
        QFETCH(QString, how);
        TestEnv env;
        const QString file = env.writeFile("a.txt", "a\n");
        const auto doc = loaded(file);
        TestEnv::changeOutside(file, "b\n");
        QCOMPARE(doc->DiskState(), TDiskState::Changed);
        if (how == "load") {
            doc->LoadPieces([](qint64) {}, [](const char*, qsizetype) {});
        } else if (how == "save") {
            doc->SaveFromUtf8("c\r\n");
        } else {
            const QString other = env.writeFile("other.txt", "o\n");
            doc->WriteUtf8(other, "c\r\n");
            TestEnv::changeOutside(other, "d\n"); // before the document takes the name
            doc->SetFileName(other);
        }
        QCOMPARE(doc->DiskState(), TDiskState::Unchanged);
    }

    // A rename moves the record with the file: it neither hides a change another program
    // made before nor makes one.
    void renameKeepsTheRecord_data()
    {
        QTest::addColumn<bool>("changedBefore");
        QTest::newRow("as recorded") << false;
        QTest::newRow("changed before") << true;
    }
    void renameKeepsTheRecord()
    {
        QFETCH(bool, changedBefore);
        TestEnv env;
        const QString file = env.writeFile("A.java", "class A {}\n");
        const auto doc = loaded(file);
        if (changedBefore)
            TestEnv::changeOutside(file, "class B {}\n");
        doc->Rename("B.java");
        QCOMPARE(doc->FullPath(), env.path("B.java"));
        QCOMPARE(doc->DiskState(), changedBefore ? TDiskState::Changed : TDiskState::Unchanged);
    }
};

QTEST_GUILESS_MAIN(TestDiskState)
#include "tst_diskstate.moc"
