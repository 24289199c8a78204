#include "editor/cedit95.h"

#include "editor/scitextcontrol.h"

namespace bp {

TcwEdit95::TcwEdit95(IMainWindow& main, QWidget* parent)
    : TcwEditBase(main, std::make_unique<SciTextControl>(), parent)
{
    setObjectName(QStringLiteral("cwEdit95"));
    resize(572, 443);
}

} // namespace bp
