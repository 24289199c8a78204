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
// What the environment held before AskForHugePages: "-" for no tunables,
// else "=" and their text.
constexpr const char* Before = "BREWPAD_TUNABLES_BEFORE";

void restore(const std::string& before)
{
    unsetenv(Before);
    if (before[0] == '=')
        setenv(Tunables, before.c_str() + 1, 1);
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

bool AskForHugePages()
{
    const char* tunables = std::getenv(Tunables);
    if (std::getenv(Before) || (tunables && std::strstr(tunables, "glibc.malloc.hugetlb")) ||
        !hugePagesOnRequest())
        return false;
    setenv(Before, tunables ? (std::string("=") + tunables).c_str() : "-", 1);
    std::string value = tunables && *tunables ? std::string(tunables) + ":" : std::string();
    value += "glibc.malloc.hugetlb=1";
    setenv(Tunables, value.c_str(), 1);
    return true;
}

void StartWithHugePages(char** argv)
{
    if (const char* before = std::getenv(Before)) {
        restore(before);
        return;
    }
    if (!AskForHugePages())
        return;
    execv("/proc/self/exe", argv);
    // Still here: go on without.
    restore(std::getenv(Before));
}
#else
bool AskForHugePages()
{
    return false;
}
void StartWithHugePages(char**) {}
#endif

} // namespace bp
