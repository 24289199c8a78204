// Started by tst_platform: restarts itself as the program does, then prints
// the tunables it now sees in its environment (what its own child processes
// get) and whether the C library asks for huge pages for a large block.
#include "platform/largepages.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

// Whether the mapping holding p is marked for huge pages ("hg").
bool markedHuge(const void* p)
{
    const auto address = reinterpret_cast<std::uintptr_t>(p);
    std::ifstream smaps("/proc/self/smaps");
    bool inside = false;
    for (std::string line; std::getline(smaps, line);) {
        std::uintptr_t from = 0, to = 0;
        if (std::sscanf(line.c_str(), "%lx-%lx ", &from, &to) == 2 && line.find(' ') < 30)
            inside = from <= address && address < to;
        else if (inside && line.rfind("VmFlags:", 0) == 0)
            return line.find(" hg") != std::string::npos;
    }
    return false;
}

} // namespace

int main(int, char** argv)
{
    bp::StartWithHugePages(argv);
    const char* now = std::getenv("GLIBC_TUNABLES");
    const size_t size = size_t(16) << 20;
    void* block = std::malloc(size);
    std::memset(block, 1, size);
    std::printf("%s\n%s\n", now ? now : "-", markedHuge(block) ? "huge" : "small");
    std::free(block);
    return 0;
}
