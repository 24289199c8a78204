#include "platform/largepages.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#if defined(__linux__) && defined(__GLIBC__)
#include <unistd.h>
#define BP_HUGE_PAGES 1
#endif

namespace bp {

#ifdef BP_HUGE_PAGES
namespace {

constexpr const char* Tunables = "GLIBC_TUNABLES";
constexpr const char* HugePages = "glibc.malloc.hugetlb=1";
// Set for the second start: "-" when there were no tunables before, else
// "=" and what they were.
constexpr const char* Before = "BREWPAD_TUNABLES_BEFORE";

void restoreTunables(const char* before)
{
    if (before[0] == '=')
        setenv(Tunables, before + 1, 1);
    else
        unsetenv(Tunables);
}

// Whether the kernel gives huge pages only on request ("[madvise]" chosen).
bool hugePagesOnRequest()
{
    std::ifstream in("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string modes;
    std::getline(in, modes);
    return modes.find("[madvise]") != std::string::npos;
}

} // namespace

void StartWithHugePages(char** argv)
{
    if (const char* before = std::getenv(Before)) {
        const std::string saved = before;
        unsetenv(Before);
        restoreTunables(saved.c_str());
        return;
    }
    const char* tunables = std::getenv(Tunables);
    if ((tunables && std::strstr(tunables, "glibc.malloc.hugetlb")) || !hugePagesOnRequest())
        return;
    const std::string saved = tunables ? std::string("=") + tunables : std::string("-");
    std::string value = tunables && *tunables ? std::string(tunables) + ":" : std::string();
    value += HugePages;
    setenv(Before, saved.c_str(), 1);
    setenv(Tunables, value.c_str(), 1);
    execv("/proc/self/exe", argv);
    // Still here: go on without.
    unsetenv(Before);
    restoreTunables(saved.c_str());
}
#else
void StartWithHugePages(char**) {}
#endif

} // namespace bp
