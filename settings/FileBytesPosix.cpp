// POSIX files: every platform but Windows.

#include "settings/FileBytes.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "os/Process.h"
#include "settings/TemporaryName.h"

namespace tallymark {
namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) { }
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    // Closing reports the last write errors of some file systems, so it is checked.
    bool Close()
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The descriptor's whole content, read from where it stands; false on a read error.
bool ReadRest(int fd, std::string& bytes)
{
    char chunk[65536];
    for (;;) {
        const ssize_t count = ::read(fd, chunk, sizeof chunk);
        if (count == 0)
            return true;
        if (count < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.append(chunk, static_cast<std::size_t>(count));
    }
}

// The file holds exactly these bytes, on the disk: written from its start and flushed
// before it is cut to their length, so that a crash never leaves it cut short of them.
bool Overwrite(int fd, std::string_view bytes)
{
    return ::lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0
        && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Temporary files of saves that were killed before they could rename or remove them: those
// named as this file's temporaries whose process has ended. Only plain files go; a link or
// anything else under such a name stays, and so does every name of another form.
void RemoveStaleTemporaries(const std::string& target)
{
    const std::string prefix = NameOf(target) + ".tmp";
    const int folderFd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return;
    DIR* folder = ::fdopendir(folderFd);
    if (!folder) {
        ::close(folderFd);
        return;
    }
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(prefix))
            continue;
        const auto owner = TemporaryFileOwner(name.substr(prefix.size()), true);
        if (!owner || *owner > static_cast<std::uint32_t>(INT_MAX))
            continue;
        const auto pid = static_cast<pid_t>(*owner);
        // This process's own names may belong to a save under way on another thread.
        if (pid == ::getpid() || ProcessRuns(pid))
            continue;
        struct stat status{};
        if (::fstatat(folderFd, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(status.st_mode))
            ::unlinkat(folderFd, entry->d_name, 0);
    }
    ::closedir(folder);
}

// For a folder where no new file can be made, though the file itself may be written (an
// administrator opened up the file alone): the file is rewritten through its own inode.
// That is not one step, so a crash in the middle can leave a mixture; a failed write puts
// the old bytes back.
bool RewriteInPlace(const std::string& target, const struct stat& old, std::string_view bytes)
{
    FileDescriptor fd(::open(target.c_str(), O_RDWR | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
    struct stat now{};
    if (fd.get() < 0 || ::fstat(fd.get(), &now) != 0 || now.st_dev != old.st_dev || now.st_ino != old.st_ino
        || !S_ISREG(now.st_mode))
        return false;
    std::string before;
    if (!ReadRest(fd.get(), before))
        return false;
    if (Overwrite(fd.get(), bytes))
        return fd.Close();
    Overwrite(fd.get(), before);
    return false;
}

// The file a path names, through any symbolic links, so that the rename replaces the
// file and not the link.
bool ResolveTarget(const char* path, std::string& target)
{
    struct stat status{};
    if (::lstat(path, &status) != 0 || !S_ISLNK(status.st_mode)) {
        target = path;
        return true;
    }
    char resolved[PATH_MAX];
    if (!::realpath(path, resolved))
        return false;
    target = resolved;
    return true;
}

} // namespace

FileBytes ReadFileBytes(const char* path)
{
    FileBytes file;
    // Non-blocking, so that a FIFO in the file's place cannot hang the caller.
    FileDescriptor fd(::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        file.state = errno == ENOENT || errno == ENOTDIR ? FileState::Missing : FileState::Unreadable;
        return file;
    }
    struct stat status{};
    const bool known = ::fstat(fd.get(), &status) == 0;
    if (!known || !S_ISREG(status.st_mode)) {
        // The reason a failed save gives: opening a folder or a device for reading succeeds.
        if (known)
            errno = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        file.state = FileState::Unreadable;
        return file;
    }
    file.bytes.reserve(static_cast<std::size_t>(status.st_size));
    if (!ReadRest(fd.get(), file.bytes)) {
        file.state = FileState::Unreadable;
        file.bytes.clear();
        return file;
    }
    file.state = FileState::Present;
    return file;
}

bool ReplaceFileBytes(const char* path, std::string_view bytes)
{
    std::string target;
    if (!ResolveTarget(path, target))
        return false;

    struct stat old{};
    const bool hadFile = ::stat(target.c_str(), &old) == 0;
    if (hadFile && !S_ISREG(old.st_mode))
        return false;
    RemoveStaleTemporaries(target);

    // A name of our own beside the target; O_EXCL keeps it from meeting anything there.
    std::string temporary;
    int created = -1;
    for (int attempt = 0; attempt < 100 && created < 0; ++attempt) {
        temporary = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        created = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (created < 0 && errno != EEXIST)
            break;
    }
    if (created < 0)
        return hadFile && RewriteInPlace(target, old, bytes);
    FileDescriptor fd(created);

    bool written = WriteAll(fd.get(), bytes);
    if (written && hadFile) {
        written = ::fchmod(fd.get(), old.st_mode & 07777) == 0;
        // Keeping the owner only works for root; anyone else already owns what they write.
        [[maybe_unused]] const int ignored = ::fchown(fd.get(), old.st_uid, old.st_gid);
    }
    written = written && ::fsync(fd.get()) == 0;
    written = fd.Close() && written;
    if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself lives in the folder; flush it too, so that it survives a power cut.
    FileDescriptor folder(::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get());
    return true;
}

} // namespace tallymark
