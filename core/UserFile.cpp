#include "core/UserFile.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// Closed on every way out of a function; an explicit close is checked, since some file systems (NFS)
// only report a failed write there.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int fd() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    bool close() { return ::close(std::exchange(m_fd, -1)) == 0; }

private:
    int m_fd;
};

// What replace writes over: the name itself when nothing is there yet, else the regular file it
// names, links resolved, so that the link stays a link.
struct Target {
    QByteArray path;
    bool exists = false;
    struct stat status = {};
};

std::optional<Target> targetOf(const QByteArray &name)
{
    Target target;
    if (::stat(name.constData(), &target.status) == 0) {
        if (!S_ISREG(target.status.st_mode))
            return std::nullopt;
        char *resolved = ::realpath(name.constData(), nullptr);
        if (!resolved)
            return std::nullopt;
        target.path = resolved;
        std::free(resolved);
        target.exists = true;
        return target;
    }
    // A link to nothing is left as it is, rather than guess where the user meant the file to be.
    struct stat link;
    if (errno != ENOENT || ::lstat(name.constData(), &link) == 0)
        return std::nullopt;
    target.path = name;
    return target;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    std::size_t left = std::size_t(bytes.size());
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        // A short write is followed by another, which reports why (ENOSPC) or goes on.
        if (written <= 0)
            return false;
        data += written;
        left -= std::size_t(written);
    }
    return true;
}

// A hidden name beside the target that no one else uses; made with the user's umask.
Descriptor createBeside(const QByteArray &target, QByteArray &temporary)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : target.first(slash);
    // Short enough for the file system's 255-byte limit on a name whatever the list was called.
    const QByteArray base = target.mid(slash + 1).left(200);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = folder + "/." + base + '.' +
                    QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".tmp";
        const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return Descriptor(fd);
    }
    return Descriptor(-1);
}

// The rename only lasts a crash once the folder's entry is on the disk too. Some file systems refuse
// to sync a folder; the new file is in place all the same.
void syncFolderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = slash <= 0 ? QByteArray(slash == 0 ? "/" : ".") : path.first(slash);
    Descriptor fd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.isOpen())
        ::fsync(fd.fd());
}

} // namespace

namespace UserFile {

std::optional<QByteArray> read(const QString &path)
{
    // Without O_NONBLOCK, opening a named pipe waits for a writer that never comes.
    Descriptor fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat status;
    if (!fd.isOpen() || ::fstat(fd.fd(), &status) != 0 || !S_ISREG(status.st_mode) ||
        status.st_size > LargestRead)
        return std::nullopt;
    QByteArray bytes;
    qsizetype size = 0;
    for (;;) {
        // The size seen at the open is a hint only: the file may be growing.
        bytes.resize(std::max<qsizetype>(size + 65536, qsizetype(status.st_size) + 1));
        const ssize_t got = ::read(fd.fd(), bytes.data() + size, std::size_t(bytes.size() - size));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            bytes.truncate(size);
            return got < 0 && size == 0 ? std::nullopt : std::optional<QByteArray>(std::move(bytes));
        }
        size += got;
        if (size > LargestRead)
            return std::nullopt;
    }
}

bool replace(const QString &path, const QByteArray &bytes)
{
    const std::optional<Target> target = targetOf(QFile::encodeName(path));
    if (!target)
        return false;
    QByteArray temporary;
    Descriptor fd = createBeside(target->path, temporary);
    if (!fd.isOpen())
        return false;
    if (target->exists) {
        ::fchmod(fd.fd(), target->status.st_mode & 07777);
        // Run as root, the user's file stays the user's; as anyone else this changes nothing.
        [[maybe_unused]] const int ignored = ::fchown(fd.fd(), target->status.st_uid, target->status.st_gid);
    }
    const bool written = writeAll(fd.fd(), bytes) && ::fsync(fd.fd()) == 0 && fd.close() &&
                         ::rename(temporary.constData(), target->path.constData()) == 0;
    if (!written) {
        ::unlink(temporary.constData());
        return false;
    }
    syncFolderOf(target->path);
    return true;
}

} // namespace UserFile
