#include "editor/cedit95.h"

#include "editor/scitextcontrol.h"

#include <QToolButton>

namespace bp {

TcwEdit95::TcwEdit95(IMainWindow& main, QWidget* parent)
    : TcwEditBase(main, std::make_unique<SciTextControl>(), parent)
{
    setObjectName(QStringLiteral("cwEdit95"));
    resize(572, 443);
}

void TcwEdit95::cmdJavaRunClick()
{
    // Running the Java document arrives with the interpreter launch.
}

} // namespace bp
