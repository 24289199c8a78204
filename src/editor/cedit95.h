#pragma once

#include "editor/editorwindow.h"

namespace bp {

// The editor window on the rich text control (syntax colours, line numbers).
class TcwEdit95 : public TcwEditBase {
    Q_OBJECT

public:
    explicit TcwEdit95(IMainWindow& main, QWidget* parent = nullptr);

protected:
    bool IsPlainVariant() const override { return false; }
};

} // namespace bp
