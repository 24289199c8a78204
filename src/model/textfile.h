#pragma once

#include <QByteArray>
#include <QString>

namespace bp {

// How a text file's characters and line ends are stored, so that a file is
// written back the way it was read.
struct TTextFormat {
    enum Encoding { Utf8, Latin1 };
    enum LineEnd { CRLF, LF, CR };

    Encoding encoding = Utf8;
    LineEnd eol = platformLineEnd();

    // LF on Linux, CR LF on Windows: what a new document gets.
    static LineEnd platformLineEnd();
    // The bytes of a line end: "\r\n", "\n" or "\r".
    static QByteArray lineEndBytes(LineEnd eol);

    // UTF-8 when the bytes are valid UTF-8 (a BOM counts as valid), else
    // Latin-1; the line end is the most common of CR LF, LF and lone CR,
    // the platform's on a tie or when there is none.
    static TTextFormat detect(const QByteArray& bytes);

    friend bool operator==(const TTextFormat&, const TTextFormat&) = default;
};

// The characters of the bytes in the given encoding. Line ends are kept as
// they are, and a BOM survives as U+FEFF, so encodeText can give the very
// same bytes back.
QString decodeText(const QByteArray& bytes, const TTextFormat& format);

} // namespace bp

namespace bp {

// The text of a file's bytes as UTF-8 for a text control: UTF-8 files pass
// through untouched (no copy), Latin-1 files are converted. Line ends stay
// as they are.
QByteArray editorUtf8FromFile(QByteArray bytes, const TTextFormat& format);

// The file bytes for a text control's UTF-8 text, the counterpart of
// encodeText: line breaks become the format's line end, and a Latin-1 file
// that now holds a character beyond Latin-1 is written as UTF-8 (the format
// changes and *encodingChanged is set).
QByteArray fileBytesFromEditorUtf8(const QByteArray& utf8, TTextFormat& format,
                                   bool* encodingChanged = nullptr);

} // namespace bp

#include <functional>

namespace bp {

// Reads a text file in pieces without holding it whole: a first pass finds
// its format (as TTextFormat::detect does), a second hands its text to the
// sink as UTF-8 with the file's own line ends. `begin` learns the number of
// UTF-8 bytes to come, with one more for each lone LF or CR (room for a CR LF
// text), before the first piece. Throws EBrewpadError when the file cannot
// be read.
using TTextPieceSink = std::function<void(const char* utf8, qsizetype size)>;
TTextFormat readTextFile(const QString& path, const std::function<void(qint64 expected)>& begin,
                         const TTextPieceSink& piece);

} // namespace bp
