// A full disk where no small file system can be mounted (the tests run without the right to
// mount): preloaded into a test, it fails every write of at least one byte into a file below the
// folder that BP_FULL_DISK names, with ENOSPC, as a file system without a free block does. With
// BP_FULL_DISK_ROOM the disk first takes that many bytes (counted in each process), then none.
// Creating, renaming and removing files still work there, as they do on a full tmpfs; so does
// syncing, which never fails on one. Without BP_FULL_DISK every call goes straight through.
#include <dlfcn.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

// Whether fd is a file below dir.
bool onFullDisk(int fd, const char* dir)
{
    char link[64];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[4096];
    const ssize_t n = readlink(link, target, sizeof target - 1);
    if (n <= 0)
        return false;
    target[n] = '\0';
    const size_t len = strlen(dir);
    return strncmp(target, dir, len) == 0 && target[len] == '/';
}

// Whether a write of count bytes to fd finds the disk full. The variables are read on every
// call, so that a test can fill and empty its disk while it runs (and its child processes inherit
// the state). The room is counted anew for each new full folder; once a write did not fit,
// nothing more does.
bool refuses(int fd, size_t count)
{
    const char* dir = getenv("BP_FULL_DISK");
    if (count == 0 || !dir || !*dir || !onFullDisk(fd, dir))
        return false;
    static char folder[4096];
    static unsigned long long spent = 0;
    if (strncmp(folder, dir, sizeof folder) != 0) {
        snprintf(folder, sizeof folder, "%s", dir);
        spent = 0;
    }
    const char* room = getenv("BP_FULL_DISK_ROOM");
    const unsigned long long limit = room ? strtoull(room, nullptr, 10) : 0;
    if (spent + count > limit) {
        spent = limit;
        return true;
    }
    spent += count;
    return false;
}

template <typename F> F next(const char* name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

ssize_t full()
{
    errno = ENOSPC;
    return -1;
}

size_t total(const struct iovec* iov, int count)
{
    size_t sum = 0;
    for (int i = 0; i < count; ++i)
        sum += iov[i].iov_len;
    return sum;
}

} // namespace

extern "C" {

ssize_t write(int fd, const void* buf, size_t count)
{
    static const auto real = next<ssize_t (*)(int, const void*, size_t)>("write");
    return refuses(fd, count) ? full() : real(fd, buf, count);
}

ssize_t pwrite(int fd, const void* buf, size_t count, off_t offset)
{
    static const auto real = next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
    return refuses(fd, count) ? full() : real(fd, buf, count, offset);
}

ssize_t pwrite64(int fd, const void* buf, size_t count, off64_t offset)
{
    static const auto real = next<ssize_t (*)(int, const void*, size_t, off64_t)>("pwrite64");
    return refuses(fd, count) ? full() : real(fd, buf, count, offset);
}

ssize_t writev(int fd, const struct iovec* iov, int count)
{
    static const auto real = next<ssize_t (*)(int, const struct iovec*, int)>("writev");
    return refuses(fd, total(iov, count)) ? full() : real(fd, iov, count);
}

ssize_t pwritev(int fd, const struct iovec* iov, int count, off_t offset)
{
    static const auto real = next<ssize_t (*)(int, const struct iovec*, int, off_t)>("pwritev");
    return refuses(fd, total(iov, count)) ? full() : real(fd, iov, count, offset);
}

ssize_t pwritev64(int fd, const struct iovec* iov, int count, off64_t offset)
{
    static const auto real = next<ssize_t (*)(int, const struct iovec*, int, off64_t)>("pwritev64");
    return refuses(fd, total(iov, count)) ? full() : real(fd, iov, count, offset);
}

} // extern "C"
