#pragma once

#include "editor/editorwindow.h"

namespace bp {

// The editor window on the plain multi-line text control.
class TcwEdit : public TcwEditBase {
    Q_OBJECT

public:
    explicit TcwEdit(IMainWindow& main, QWidget* parent = nullptr);

protected:
    bool IsPlainVariant() const override { return true; }
};

} // namespace bp
