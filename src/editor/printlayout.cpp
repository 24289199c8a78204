#include "editor/printlayout.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace bp {

namespace {

// Tab stops lie this many average character widths apart, whatever the
// editor's own tab setting.
constexpr int kTabStopChars = 8;

// How many characters from the start of text fit into width: the longest
// prefix no wider than width, never ending between the two halves of a
// surrogate pair. Only prefixes about as long as a printed line are
// measured, so that a line megabytes long costs no more per printed line.
qsizetype Fitting(const QFontMetrics& metrics, QStringView text, int width)
{
    const auto fits = [&](qsizetype n) {
        return metrics.horizontalAdvance(text.left(n).toString()) <= width;
    };
    qsizetype lo = 0; // fits
    qsizetype hi = std::min<qsizetype>(text.size(), 64);
    while (fits(hi)) {
        if (hi == text.size())
            return hi;
        lo = hi;
        hi = std::min(text.size(), 2 * hi);
    }
    // hi does not fit.
    while (hi - lo > 1) {
        const qsizetype mid = lo + (hi - lo) / 2;
        if (fits(mid))
            lo = mid;
        else
            hi = mid;
    }
    if (lo > 0 && lo < text.size() && text[lo - 1].isHighSurrogate())
        --lo;
    return lo;
}

} // namespace

TPrintLayout::TPrintLayout(QPainter& painter)
    : FPainter(painter), FMetrics(painter.fontMetrics()), FPageWidth(painter.device()->width()),
      FPageHeight(painter.device()->height()),
      FTabWidth(std::max(1, kTabStopChars * FMetrics.averageCharWidth()))
{
}

void TPrintLayout::Write(QStringView text)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\t' && c != u'\n' && c != u'\f' && c != u'\r')
            continue;
        WritePiece(text.mid(start, i - start));
        start = i + 1;
        switch (c.unicode()) {
        case u'\t': {
            const int stop = (FX / FTabWidth + 1) * FTabWidth;
            if (stop > FPageWidth)
                NewLine();
            else
                FX = stop;
            break;
        }
        case u'\n': NewLine(); break;
        case u'\f': NewPage(); break;
        default: break; // a carriage return moves nothing
        }
    }
    WritePiece(text.mid(start));
}

void TPrintLayout::WritePiece(QStringView piece)
{
    while (!piece.isEmpty()) {
        qsizetype fit = Fitting(FMetrics, piece, FPageWidth - FX);
        if (fit == 0) {
            if (FX > 0) {
                NewLine();
                continue;
            }
            // A character wider than the whole page still prints, alone on
            // its line, rather than never.
            fit = piece.size() > 1 && piece[0].isHighSurrogate() ? 2 : 1;
        }
        const QString text = piece.left(fit).toString();
        FPainter.drawText(FX, FY + FMetrics.ascent(), text);
        FRuns.append(TPrintedRun{FPage, QPoint(FX, FY), text});
        FX += FMetrics.horizontalAdvance(text);
        FLineTallest = std::max(FLineTallest, FMetrics.height());
        piece = piece.mid(fit);
        if (!piece.isEmpty())
            NewLine();
    }
}

void TPrintLayout::NewLine()
{
    // The page test counts an empty line as 0 high, so that empty lines
    // fill the page down to its very end.
    const int finished = FLineTallest > 0 ? FLineTallest + 2 : 0;
    FY += FLineTallest > 0 ? finished : FMetrics.height();
    FX = 0;
    FLineTallest = 0;
    if (FY > FPageHeight - 2 * finished)
        NewPage();
}

void TPrintLayout::NewPage()
{
    if (auto* paged = dynamic_cast<QPagedPaintDevice*>(FPainter.device())) {
        if (!paged->newPage())
            FOk = false;
    }
    ++FPage;
    FX = 0;
    FY = 0;
    FLineTallest = 0;
}

bool PrintLines(QPaintDevice& device, const QFont& font, int lineCount,
                const std::function<QString(int)>& line, int copies, QList<TPrintedRun>* runs)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.setFont(font);
    painter.setPen(Qt::black);
    TPrintLayout layout(painter);
    for (int copy = 0; copy < copies; ++copy) {
        for (int i = 0; i < lineCount; ++i) {
            layout.Write(line(i));
            layout.Write(u"\n");
        }
    }
    const bool ended = painter.end();
    if (runs)
        *runs = layout.Runs();
    return ended && layout.Ok();
}

} // namespace bp
