#pragma once

#include <QFontMetrics>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringView>

#include <functional>

class QFont;
class QPaintDevice;
class QPainter;

namespace bp {

// One piece of text the layout drew: its page (0 for the first), the top-left
// corner of the text in device units, and the text itself.
struct TPrintedRun {
    int Page = 0;
    QPoint Position;
    QString Text;

    friend bool operator==(const TPrintedRun&, const TPrintedRun&) = default;
};

// The printer's text stream: text written to it is drawn line by line from
// the top-left corner of the device's page in the painter's font, with no
// margins, header or page numbers. A line feed starts a new line, a form
// feed a new page; a carriage return is ignored; a tab moves to the next
// stop (every eight average character widths). Text that does not fit in
// what is left of the line is cut after its last character that fits and
// goes on at the start of the next line. A line is as high as its tallest
// piece of text plus 2 (the font's height when nothing was written on it);
// a new page begins once a new line would start lower than the page height
// less twice the height of the line just finished.
//
// On a paged device (a printer, a PDF writer) a new page is the device's;
// on any other (an image) drawing starts again at the top of the same
// surface. Every drawn piece is also kept in Runs(), so that the layout can
// be checked without looking at pixels.
class TPrintLayout {
public:
    // painter is active on its device and holds the font to print in.
    explicit TPrintLayout(QPainter& painter);

    void Write(QStringView text);
    // The current page, 0 for the first.
    int Page() const { return FPage; }
    // False once the device refused a new page.
    bool Ok() const { return FOk; }
    const QList<TPrintedRun>& Runs() const { return FRuns; }
    // The width of the stops tabs move to.
    int TabWidth() const { return FTabWidth; }

private:
    // Draws text without control characters, cutting it at the page's width.
    void WritePiece(QStringView piece);
    void NewLine();
    void NewPage();

    QPainter& FPainter;
    QFontMetrics FMetrics;
    int FPageWidth;
    int FPageHeight;
    int FTabWidth;
    int FX = 0;
    int FY = 0;
    // The tallest piece of text on the current line; 0 while it has none.
    int FLineTallest = 0;
    int FPage = 0;
    bool FOk = true;
    QList<TPrintedRun> FRuns;
};

// Prints lineCount lines (line(i) gives line i without its line end) copies
// times onto device in font, in black: the job begins, every line follows
// the last one (the copies too, without a page break between them), and the
// job ends. Nothing is written when copies is 0 or less. Returns false when
// the device could not begin or finish the job, or refused a page; runs,
// when given, receives every piece drawn.
bool PrintLines(QPaintDevice& device, const QFont& font, int lineCount,
                const std::function<QString(int)>& line, int copies,
                QList<TPrintedRun>* runs = nullptr);

} // namespace bp
