// Loaded into the player with LD_PRELOAD by the crash-safety test, it kills the player with SIGKILL at
// the worst moments of saving: half-way through a write, or when the written file is being flushed
// to disk, but before it takes the old file's place. Only files under QWELTO_KILL_UNDER count;
// QWELTO_KILL_AT is "write" or "sync"; QWELTO_KILL_SKIP lets that many such calls through first.
#include <dlfcn.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool armedFor(const char *moment, int fd)
{
    const char *under = std::getenv("QWELTO_KILL_UNDER");
    const char *at = std::getenv("QWELTO_KILL_AT");
    if (!under || !at || std::strcmp(at, moment) != 0)
        return false;
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[4096];
    const ssize_t length = readlink(link, target, sizeof target - 1);
    if (length <= 0)
        return false;
    target[length] = '\0';
    if (std::strncmp(target, under, std::strlen(under)) != 0)
        return false;
    static int skipped = 0;
    const char *skip = std::getenv("QWELTO_KILL_SKIP");
    return skipped++ >= (skip ? std::atoi(skip) : 0);
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
        kill(getpid(), SIGKILL);
    }
    return realWrite(fd, buffer, count);
}

extern "C" int fsync(int fd)
{
    static const auto realFsync = next<int (*)(int)>("fsync");
    if (armedFor("sync", fd))
        kill(getpid(), SIGKILL);
    return realFsync(fd);
}

extern "C" int fdatasync(int fd)
{
    static const auto realFdatasync = next<int (*)(int)>("fdatasync");
    if (armedFor("sync", fd))
        kill(getpid(), SIGKILL);
    return realFdatasync(fd);
}
