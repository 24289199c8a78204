// The rich control's soft breaks: following the widget's changes, and
// turning text offsets and positions into the widget's and back.
#include "editor/scitextcontrol.h"

#include "editor/scitextcontrol_p.h"

#include <Qsci/qsciscintilla.h>

#include <cstring>

namespace bp {

using namespace scidetail;

long SciTextControl::sciOffset(long offset) const
{
    // The soft breaks before the offset are those whose next row starts at
    // or before it: an offset at a soft break goes to the start of the row.
    const std::vector<long>& rows = soft().rows();
    long low = 0;
    long high = long(rows.size());
    while (low < high) {
        const long mid = low + (high - low) / 2;
        if (lineIndex(rows[size_t(mid)] + 1) - (mid + 1) <= offset)
            low = mid + 1;
        else
            high = mid;
    }
    return offset + low;
}

long SciTextControl::textPosition(long position) const
{
    // Every position of a row lies before the soft break that ends it.
    const TSoftBreaks& breaks = soft();
    return breaks.isEmpty()
               ? position
               : position - breaks.softBefore(send(Sci::SCI_LINEFROMPOSITION, position));
}

long SciTextControl::widgetPosition(long position, bool afterSoftBreak) const
{
    const std::vector<long>& rows = soft().rows();
    long low = 0;
    long high = long(rows.size());
    while (low < high) {
        const long mid = low + (high - low) / 2;
        const long softBreak = send(Sci::SCI_GETLINEENDPOSITION, rows[size_t(mid)]) - mid;
        if (softBreak < position || (afterSoftBreak && softBreak == position))
            low = mid + 1;
        else
            high = mid;
    }
    return position + low;
}

void SciTextControl::trackChange(int type, long position, long length)
{
    // Each announcement comes after the change before it is complete.
    settleInsertion();
    // An edited line's error mark goes: what the compiler said of it may no
    // longer hold.
    if (FHasErrorMarkers) {
        const long first = send(Sci::SCI_LINEFROMPOSITION, position);
        clearErrorMarkers(first, (type & Sci::SC_MOD_BEFOREDELETE)
                                     ? send(Sci::SCI_LINEFROMPOSITION, position + length)
                                     : first);
    }
    if (type & Sci::SC_MOD_BEFOREINSERT) {
        // The widget passes on no text with the announcement: the inserted
        // line breaks are read once they are in.
        FInsertion = position;
        FInsertionLength = length;
        FInsertionRows = sciLines();
    } else if ((type & Sci::SC_MOD_BEFOREDELETE) && !FSoft.isEmpty()) {
        const long first = send(Sci::SCI_LINEFROMPOSITION, position);
        FSoft.removeBreaks(first, send(Sci::SCI_LINEFROMPOSITION, position + length) - first);
    }
}

void SciTextControl::settleInsertion() const
{
    const long length = FInsertionLength;
    FInsertionLength = 0;
    if (length == 0 || sciLines() == FInsertionRows)
        return;
    // Read where the widget keeps the text: a large insertion (a Replace
    // All) is not copied. Every line break holds an LF (a lone CR never gets
    // in); a lone LF is a soft break coming back with an undo or redo.
    const auto* text = reinterpret_cast<const char*>(
        send(Sci::SCI_GETRANGEPOINTER, static_cast<unsigned long>(FInsertion), length));
    const char* const end = text + length;
    const auto loneLf = [text](const char* lf) { return lf == text || lf[-1] != '\r'; };
    if (FSoft.isEmpty()) {
        // Without soft breaks only an insertion that brings some back counts.
        bool any = false;
        for (const char* lf = text; !any && lf < end; ++lf) {
            lf = static_cast<const char*>(std::memchr(lf, '\n', size_t(end - lf)));
            if (!lf)
                break;
            any = loneLf(lf);
        }
        if (!any)
            return;
    }
    std::vector<long> softOnes;
    long breaks = 0;
    for (const char* lf = text; lf < end; ++lf) {
        lf = static_cast<const char*>(std::memchr(lf, '\n', size_t(end - lf)));
        if (!lf)
            break;
        if (loneLf(lf))
            softOnes.push_back(breaks);
        ++breaks;
    }
    FSoft.insertBreaks(send(Sci::SCI_LINEFROMPOSITION, FInsertion), breaks, softOnes);
}

const TSoftBreaks& SciTextControl::soft() const
{
    settleInsertion();
    return FSoft;
}

} // namespace bp
