#pragma once

#include "dialogs/doptionsbase.h"

class QTabBar;

namespace bp {

class TKxListBox;

// The project manager of the plain variant: an owner-drawn list box of
// document names with their type pictures, the type tabs below it.
class TdlgOptions : public TdlgOptionsBase {
    Q_OBJECT
public:
    explicit TdlgOptions(IProjectManagerHost& host, QWidget* parent = nullptr);

    int TypeTab() const override;
    void SetTypeTab(int tab) override;

    TKxListBox* lstDocuments;
    QTabBar* tsDisplay;

protected:
    QItemSelectionModel* DocumentSelection() const override;
    QWidget* DocumentListControl() const override;
};

} // namespace bp
