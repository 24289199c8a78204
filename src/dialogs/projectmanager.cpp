#include "dialogs/projectmanager.h"

namespace bp {

namespace {

class TPendingProjectManager : public TProjectManager {
public:
    using TProjectManager::TProjectManager;
    void SetProject(TProject*) override {}
    void RefreshDocuments() override {}
    void SaveOptions() override {}
};

} // namespace

std::unique_ptr<TProjectManager> CreateProjectManager(bool, IProjectManagerHost&, QWidget* parent)
{
    return std::make_unique<TPendingProjectManager>(parent);
}

} // namespace bp
