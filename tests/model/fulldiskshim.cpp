// A full disk where no small file system can be mounted (the tests run without the right to
// mount): preloaded into a test, it fails every write of at least one byte into a file below the
// folder that BP_FULL_DISK names, with ENOSPC, as a file system without a free block does.
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

// Whether fd is a file below the full folder. The folder is read on every call, so that a test
// can fill and empty its disk while it runs (and its child processes inherit the state).
bool onFullDisk(int fd)
{
    const char* dir = getenv("BP_FULL_DISK");
    if (!dir || !*dir)
        return false;
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
    return count > 0 && onFullDisk(fd) ? full() : real(fd, buf, count);
}

ssize_t pwrite(int fd, const void* buf, size_t count, off_t offset)
{
    static const auto real = next<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
    return count > 0 && onFullDisk(fd) ? full() : real(fd, buf, count, offset);
}

ssize_t pwrite64(int fd, const void* buf, size_t count, off64_t offset)
{
    static const auto real = next<ssize_t (*)(int, const void*, size_t, off64_t)>("pwrite64");
    return count > 0 && onFullDisk(fd) ? full() : real(fd, buf, count, offset);
}

ssize_t writev(int fd, const struct iovec* iov, int count)
{
    static const auto real = next<ssize_t (*)(int, const struct iovec*, int)>("writev");
    return total(iov, count) > 0 && onFullDisk(fd) ? full() : real(fd, iov, count);
}

ssize_t pwritev(int fd, const struct iovec* iov, int count, off_t offset)
{
    static const auto real = next<ssize_t (*)(int, const struct iovec*, int, off_t)>("pwritev");
    return total(iov, count) > 0 && onFullDisk(fd) ? full() : real(fd, iov, count, offset);
}

ssize_t pwritev64(int fd, const struct iovec* iov, int count, off64_t offset)
{
    static const auto real = next<ssize_t (*)(int, const struct iovec*, int, off64_t)>("pwritev64");
    return total(iov, count) > 0 && onFullDisk(fd) ? full() : real(fd, iov, count, offset);
}

} // extern "C"
