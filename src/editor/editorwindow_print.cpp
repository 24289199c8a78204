// The editor window's printing: the text, line by line, on the printer the
// print dialog chooses.
#include "editor/editorwindow.h"

#include "editor/mainservices.h"
#include "editor/printlayout.h"
#include "editor/textcontrol.h"
#include "platform/busycursor.h"
#include "platform/errors.h"
#include "platform/prompter.h"

#include <QDir>
#include <QPrinter>

namespace bp {

void TcwEditBase::doPrint()
{
    QPrinter* printer = FMain.Printer();
    if (!printer || !printingPossible())
        return;
    if (!prompter().printDialog(this, *printer))
        return;
    // The copies are printed here, one after the other in the same job; the
    // printer must not multiply them again. The dialog shows the number
    // chosen the next time.
    const int copies = printer->copyCount();
    printer->setCopyCount(1);
    printer->setDocName(windowTitle());
    bool printed = false;
    {
        BusyCursor busy;
        const TextControl& text = *FText;
        printed = PrintLines(*printer, FMain.EditorFont(), text.lineCount(),
                             [&text](int i) { return text.line(i); }, copies);
    }
    printer->setCopyCount(copies);
    if (printed)
        return;
    const QString file = printer->outputFileName();
    if (file.isEmpty())
        throw EBrewpadError(QStringLiteral("Couldn't print '") + windowTitle() +
                            QStringLiteral("'."));
    throw EBrewpadError(QStringLiteral("Couldn't print '") + windowTitle() +
                        QStringLiteral("' to '") + QDir::toNativeSeparators(file) +
                        QStringLiteral("'."));
}

} // namespace bp
