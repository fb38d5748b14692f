// Loaded into the player with LD_PRELOAD by the crash-safety tests, it strikes at the worst moments of
// saving: half-way through a write, when the written file is synced to disk (fsync), or when it takes the old
// file's place. Only files under QWELTO_FAULT_UNDER count (folders ending in "/", ":" between them);
// QWELTO_FAULT_AT is "write", "sync" or "rename"; QWELTO_FAULT is "ENOSPC" or "EIO", the error the
// call then fails with, or else kills the player with SIGKILL; QWELTO_FAULT_SKIP lets that many such
// calls through first. A failing write has written half, as on a disk filling up.
#include <dlfcn.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool armedFor(const char *moment, const char *path)
{
    const char *at = std::getenv("QWELTO_FAULT_AT");
    if (!at || std::strcmp(at, moment) != 0)
        return false;
    for (const char *under = std::getenv("QWELTO_FAULT_UNDER"); under && *under;) {
        const char *end = std::strchr(under, ':');
        const std::size_t length = end ? std::size_t(end - under) : std::strlen(under);
        if (length > 0 && std::strncmp(path, under, length) == 0) {
            static int skipped = 0;
            const char *skip = std::getenv("QWELTO_FAULT_SKIP");
            return skipped++ >= (skip ? std::atoi(skip) : 0);
        }
        under = end ? end + 1 : nullptr;
    }
    return false;
}

bool armedFor(const char *moment, int fd)
{
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[4096];
    const ssize_t length = readlink(link, target, sizeof target - 1);
    target[length > 0 ? length : 0] = '\0';
    return length > 0 && armedFor(moment, target);
}

// Sets errno and gives -1 for the call to return, unless the fault is to die here.
int fail()
{
    const char *fault = std::getenv("QWELTO_FAULT");
    if (fault && std::strcmp(fault, "ENOSPC") == 0)
        errno = ENOSPC;
    else if (fault && std::strcmp(fault, "EIO") == 0)
        errno = EIO;
    else
        kill(getpid(), SIGKILL);
    return -1;
}

template <typename Function> Function next(const char *name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" ssize_t write(int fd, const void *buffer, size_t count)
{
    static const auto realWrite = next<ssize_t (*)(int, const void *, size_t)>("write");
    if (count > 1 && armedFor("write", fd)) {
        realWrite(fd, buffer, count / 2);
        return fail();
    }
    return realWrite(fd, buffer, count);
}

extern "C" int fsync(int fd)
{
    static const auto realFsync = next<int (*)(int)>("fsync");
    return armedFor("sync", fd) ? fail() : realFsync(fd);
}

extern "C" int rename(const char *from, const char *to)
{
    static const auto realRename = next<int (*)(const char *, const char *)>("rename");
    return armedFor("rename", from) ? fail() : realRename(from, to);
}
