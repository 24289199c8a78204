// The program the user starts: it starts the editor, brewpad-app beside it,
// with huge pages asked for. Being small and linked to nothing but the C
// library, it costs a fraction of what the editor's own second start would.
#include "platform/largepages.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>

int main(int, char** argv)
{
    char self[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string app = n > 0 ? std::string(self, size_t(n)) : std::string(argv[0]);
    app = app.substr(0, app.rfind('/') + 1) + "brewpad-app";
    bp::AskForHugePages();
    execv(app.c_str(), argv);
    std::fprintf(stderr, "brewpad: cannot start %s: %s\n", app.c_str(), std::strerror(errno));
    return 127;
}
