#include "editor/cedit.h"

#include "editor/editortoolbar.h"
#include "editor/plaintextcontrol.h"

#include <QToolButton>

namespace bp {

TcwEdit::TcwEdit(IMainWindow& main, QWidget* parent)
    : TcwEditBase(main, std::make_unique<PlainTextControl>(), parent)
{
    setObjectName(QStringLiteral("cwEdit"));
    resize(554, 414);
    // The browser button takes the compile button's place (the two are
    // never visible together).
    toolBar()->cmdBrowser->move(450, 3);
}

} // namespace bp
