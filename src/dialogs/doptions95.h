#pragma once

#include "dialogs/doptionsbase.h"

class QButtonGroup;
class QGroupBox;
class QRadioButton;
class QTabBar;

namespace bp {

class TKxListView;

// The project manager of the rich variant: a list view with icons and the
// columns "Document", "Path" and "Date", three display styles, and names
// that can be edited in place.
class TdlgOptions95 : public TdlgOptionsBase {
    Q_OBJECT
public:
    explicit TdlgOptions95(IProjectManagerHost& host, QWidget* parent = nullptr);

    int TypeTab() const override;
    void SetTypeTab(int tab) override;

    QTabBar* tbcDisplay;
    TKxListView* lvDocuments;
    QGroupBox* rgpDisplay;
    QRadioButton* rbLargeIcons;
    QRadioButton* rbSmallIcons;
    QRadioButton* rbList;

protected:
    QItemSelectionModel* DocumentSelection() const override;
    QWidget* DocumentListControl() const override;
};

} // namespace bp
