#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

namespace bp {

// How a text file's characters and line ends are stored, so that a file is
// written back the way it was read.
struct TTextFormat {
    enum Encoding { Utf8, Latin1, Utf16LE, Utf16BE };
    enum LineEnd { CRLF, LF, CR };

    Encoding encoding = Utf8;
    // The line end new lines get: the file's most common one.
    LineEnd eol = platformLineEnd();
    // The file starts with a byte-order mark. The mark is no part of the text
    // the editor shows; a save writes it back. UTF-16 files always have one.
    bool bom = false;
    // The text holds NUL characters: most likely no text file at all (a
    // program or an archive opened by mistake).
    bool binary = false;

    // LF on Linux, CR LF on Windows: what a new document gets.
    static LineEnd platformLineEnd();
    // The bytes of a line end: "\r\n", "\n" or "\r".
    static QByteArray lineEndBytes(LineEnd eol);

    // The format readTextFile finds for these bytes: UTF-16 when they start
    // with its byte-order mark and are valid UTF-16, else UTF-8 when valid
    // (a leading mark is taken off), else Latin-1; the line end is the most
    // common of CR LF, LF and lone CR, the platform's on a tie or when there
    // is none.
    static TTextFormat detect(const QByteArray& bytes);

    friend bool operator==(const TTextFormat&, const TTextFormat&) = default;
};

// The line end of each line of a file whose lines do not all end alike,
// with a fingerprint of each line's text. A save uses it to give every line
// it still finds its own line end back, so that bytes the user did not edit
// are written as they were read. Empty for a file whose line ends agree:
// then every line simply takes the format's line end.
class TLineEnds {
public:
    bool isEmpty() const { return FHashes.empty(); }
    void clear();

    // Takes a text in pieces of UTF-8 as a text control gets it (line breaks
    // CR LF, LF or lone CR; a CR ending one piece and an LF starting the next
    // are one break) and records its lines.
    class TRecorder {
    public:
        explicit TRecorder(TLineEnds& target);
        void add(const char* utf8, qsizetype size);
        // Records the last line (which has no line end).
        void finish();

    private:
        void endLine(quint8 end);

        TLineEnds& FTarget;
        quint64 FHash;
        bool FPendingCr = false;
    };

    // The line end for each line break of a new text whose lines have these
    // fingerprints: the break of a line the text still holds (unchanged, or
    // edited in place) keeps its recorded end; the break of a new line gets
    // `fallback`.
    std::vector<TTextFormat::LineEnd> endsFor(const std::vector<quint64>& lines,
                                              TTextFormat::LineEnd fallback) const;

    // The fingerprint of a line's text (without its line end).
    static quint64 lineHash(const char* text, qsizetype size);

private:
    static constexpr quint8 NoEnd = 3;

    // One entry a line; the last line's end is NoEnd.
    std::vector<quint64> FHashes;
    std::vector<quint8> FEnds;
};

// The file bytes for a text control's UTF-8 text: each line break becomes a
// line end (its own recorded one when lineEnds holds a record, else the
// format's), the text is encoded as the format says, with its byte-order
// mark. A Latin-1 file that now holds a character beyond Latin-1 is written
// as UTF-8 (the format changes and *encodingChanged is set). A record in
// lineEnds becomes the record of the bytes returned, and the format's line
// end their most common one.
QByteArray fileBytesFromEditorUtf8(const QByteArray& utf8, TTextFormat& format,
                                   bool* encodingChanged = nullptr, TLineEnds* lineEnds = nullptr);

// Reads a text file in pieces without holding it whole: a first pass finds
// its format (as TTextFormat::detect does), a second hands its text to the
// sink as UTF-8 with the file's own line ends and without a byte-order mark.
// `begin` learns the number of UTF-8 bytes to come, with one more for each
// lone LF or CR (room for a CR LF text), before the first piece. When the
// file's line ends are mixed, `lineEnds` (if given) receives their record,
// else it is emptied. A UTF-16 file is read whole. Throws EBrewpadError when
// the file cannot be read.
using TTextPieceSink = std::function<void(const char* utf8, qsizetype size)>;
TTextFormat readTextFile(const QString& path, const std::function<void(qint64 expected)>& begin,
                         const TTextPieceSink& piece, TLineEnds* lineEnds = nullptr);

} // namespace bp
