// The text helpers every layer shares: UTF-8 decoding, line splitting, ASCII case (StrToInt is
// checked through the Go to Line dialog).
#include "platform/textutil.h"

#include <QtTest>

using namespace bp;

class TestTextUtil : public QObject {
    Q_OBJECT

private slots:
    // Whole or in pieces of any size, the same bytes are valid UTF-8 or not.
    void utf8Decoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text"); // null: not valid UTF-8
        QTest::newRow("empty") << QByteArray() << u""_qs;
        QTest::newRow("two to four bytes") << QByteArray("\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80")
                                           << u"é€😀"_qs;
        QTest::newRow("bom kept") << QByteArray("\xef\xbb\xbfx") << u"\xFEFFx"_qs;
        QTest::newRow("invalid inside") << QByteArray("ok \xc3\x28 bad") << QString();
        QTest::newRow("lone continuation") << QByteArray("a\x80") << QString();
        QTest::newRow("overlong") << QByteArray("\xc0\xaf") << QString();
        QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << QString();
        QTest::newRow("cut off, 2 of 4") << QByteArray("ab\xf0\x9f") << QString();
        QTest::newRow("cut off, 3 of 4") << QByteArray("ab\xf0\x9f\x98") << QString();
        QTest::newRow("cut off, 1 of 2") << QByteArray("ab\xc3") << QString();
    }
    void utf8Decoding()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(DecodeUtf8(bytes).value_or(QString()), text);
        for (qsizetype size = 1; size <= 4; ++size) {
            TUtf8Decoder pieces;
            QString decoded;
            for (qsizetype at = 0; at < bytes.size(); at += size)
                pieces.append(bytes.mid(at, size), decoded);
            TUtf8Decoder checked;
            for (qsizetype at = 0; at < bytes.size(); at += size)
                checked.check(bytes.mid(at, size));
            QVERIFY2(pieces.valid() == !text.isNull() && checked.valid() == !text.isNull(),
                     qPrintable(QString::number(size)));
            if (!text.isNull())
                QCOMPARE(decoded, text);
        }
        // Not UTF-8: every byte one Latin-1 character.
        QCOMPARE(DecodeUtf8OrLatin1(bytes), text.isNull() ? QString::fromLatin1(bytes) : text);
    }

    void splitLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << "" << QStringList();
        QTest::newRow("no line end") << "a" << QStringList{"a"};
        QTest::newRow("final line end") << "a\r\n" << QStringList{"a"};
        QTest::newRow("only a line end") << "\n" << QStringList{""};
        QTest::newRow("mixed") << "a\r\n\r\nb\nc\rd" << QStringList{"a", "", "b", "c", "d"};
        QTest::newRow("LF CR is two") << "a\n\rb" << QStringList{"a", "", "b"};
        QTest::newRow("two final ends") << "a\r\r" << QStringList{"a", ""};
        // Without a CR anywhere the breaks are found another way.
        QTest::newRow("LF only") << "\n\na\n\nbc\n" << QStringList{"", "", "a", "", "bc"};
        QTest::newRow("LF only, no final end") << "a\nb" << QStringList{"a", "b"};
    }
    void splitLines()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(SplitLines(text), lines);
    }

    // Only a to z change: no locale's rules, no letters beyond ASCII.
    void asciiUpper()
    {
        QCOMPARE(AsciiUpper(u"java.Htm äßıé @[`{"_qs), u"JAVA.HTM äßıé @[`{"_qs);
        QCOMPARE(AsciiUpper(u'z'), u'Z');
        QCOMPARE(AsciiUpper(u'é'), u'é');
    }
};

QTEST_GUILESS_MAIN(TestTextUtil)
#include "tst_textutil.moc"
