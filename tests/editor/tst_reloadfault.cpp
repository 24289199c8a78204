// A reload that fails partway through the file, as a failing disk or a network file system
// makes it fail: the window keeps the text it showed, modified or not as it was, and the
// document keeps its record of that text's line ends. Every case runs for both variants.
//
// This test's own read() stands in front of the C library's for the whole program (a function
// of the executable comes before those of the libraries), and fails the reads of one file
// after a given number of its bytes, with EIO.
#include "editor/cedit.h"
#include "editor/cedit95.h"
#include "editor/textcontrol.h"
#include "fakemainwindow.h"
#include "support/scriptedprompter.h"
#include "support/testenv.h"
#include "support/variants.h"

#include <QtTest>

#include <algorithm>

#include <dlfcn.h>
#include <errno.h>
#include <unistd.h>

using namespace bp;
using namespace bp::test;

namespace {

// The file whose reads fail (its resolved path; empty: none), and after how many of its bytes.
QByteArray gFailingPath;
qint64 gFailAfter = 0;
qint64 gReadSoFar = 0;

bool isFailingFile(int fd)
{
    char target[4096];
    const ssize_t n = ::readlink(QByteArray("/proc/self/fd/" + QByteArray::number(fd)).constData(),
                                 target, sizeof target);
    return n > 0 && QByteArray(target, int(n)) == gFailingPath;
}

} // namespace

extern "C" ssize_t read(int fd, void* buf, size_t count)
{
    using Read = ssize_t (*)(int, void*, size_t);
    static const auto real = reinterpret_cast<Read>(dlsym(RTLD_NEXT, "read"));
    if (gFailingPath.isEmpty() || !isFailingFile(fd))
        return real(fd, buf, count);
    if (gReadSoFar >= gFailAfter) {
        errno = EIO;
        return -1;
    }
    const ssize_t n = real(fd, buf, std::min(count, size_t(gFailAfter - gReadSoFar)));
    if (n > 0)
        gReadSoFar += n;
    return n;
}

namespace {

// Reads of path fail after its first `after` bytes, until the scope ends.
struct FailingReads {
    FailingReads(const QString& path, qint64 after)
    {
        gFailingPath = QFile::encodeName(QFileInfo(path).canonicalFilePath());
        gFailAfter = after;
        gReadSoFar = 0;
    }
    ~FailingReads() { gFailingPath.clear(); }
};

// Lines of the given text, as many as make up about `bytes` bytes, each ended by `end`.
QByteArray lines(const QByteArray& line, const QByteArray& end, qint64 bytes)
{
    return (line + end).repeated(int(bytes / (line.size() + end.size())) + 1);
}

} // namespace

class TestReloadFault : public QObject {
    Q_OBJECT

private slots:
    void initTestCase_data() { addEditorVariants(); }

    void failedReloadKeepsTheText_data()
    {
        QTest::addColumn<bool>("modified");
        QTest::newRow("unmodified window") << false;
        QTest::newRow("modified, Yes to reloading") << true;
    }
    void failedReloadKeepsTheText()
    {
        QFETCH(bool, modified);
        TestEnv env;
        ScriptedPrompter ask;
        FakeMainWindow main;
        const std::unique_ptr<TcwEditBase> editor = makeEditor(main);
        // Mixed line ends (mostly CR LF, a few LF) and more than one piece of the reader, so
        // that the reload fails after some of the new text has arrived.
        const QByteArray stored = "first\n" + lines("old line", "\r\n", 3 << 20) + "last\n";
        const QString file = env.writeFile(QStringLiteral("Big.java"), stored);
        editor->CreateFromFile(file);
        TextControl* text = editor->Text();
        // Edits go to the start of the second line, which ends as most lines do.
        const auto typeOnLine2 = [text](const QString& typed) {
            text->setSelection(text->lineStart(1), 0);
            text->replaceSelection(typed);
        };
        if (modified) {
            typeOnLine2(QStringLiteral("typed "));
            ask.answerMessage(MsgResult::Yes); // reload and lose the changes
        }
        const QByteArray shown = text->utf8();

        const QByteArray changed = lines("new line", "\n", 3 << 20);
        TestEnv::changeOutside(file, changed);
        ask.answerMessage(MsgResult::OK); // the read error
        {
            // The first pass reads the whole file; the second fails in its second piece.
            const FailingReads failing(file, changed.size() + (3 << 19));
            editor->CheckDiskChange();
        }
        QVERIFY2(ask.messages().last().startsWith("Cannot read file"),
                 qPrintable(ask.messages().join(" | ")));
        QVERIFY(text->utf8() == shown); // not QCOMPARE: megabytes in a failure message
        QCOMPARE(text->isModified(), modified);
        QVERIFY(!text->isReadOnly());

        // The text still takes edits as changes, and a save keeps the line ends of the lines it did
        // not touch: the record of the file shown survived the failed read.
        typeOnLine2(QStringLiteral("X"));
        QVERIFY(text->isModified());
        ask.answerMessage(MsgResult::Yes); // replace the file that changed on disk
        QVERIFY(editor->Save());
        const QByteArray saved = TestEnv::readFile(file);
        const QByteArray expected =
            "first\n" + QByteArray(modified ? "Xtyped " : "X") + stored.mid(6);
        const auto differ =
            std::mismatch(saved.cbegin(), saved.cend(), expected.cbegin(), expected.cend());
        QVERIFY2(saved == expected,
                 qPrintable(QStringLiteral("the saved bytes differ from byte %1 on")
                                .arg(differ.first - saved.cbegin())));
        QVERIFY(ask.unexpected().isEmpty());
    }
};

QTEST_MAIN(TestReloadFault)
#include "tst_reloadfault.moc"
