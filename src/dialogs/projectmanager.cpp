#include "dialogs/projectmanager.h"

#include "dialogs/doptions.h"
#include "dialogs/doptions95.h"

namespace bp {

std::unique_ptr<TProjectManager> CreateProjectManager(bool richVariant, IProjectManagerHost& host,
                                                      QWidget* parent)
{
    if (richVariant)
        return std::make_unique<TdlgOptions95>(host, parent);
    return std::make_unique<TdlgOptions>(host, parent);
}

} // namespace bp
