#include "clonefile/file_replacement.h"

#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>

#include <dirent.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qx {

namespace {

std::error_code systemError(int value) {
    return {value, std::generic_category()};
}

FileStamp stampOf(const struct stat& status) {
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = static_cast<std::uint64_t>(status.st_dev);
    stamp.inode = static_cast<std::uint64_t>(status.st_ino);
    stamp.modifiedNs = static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 +
                       static_cast<std::int64_t>(status.st_mtim.tv_nsec);
    stamp.size = static_cast<std::uint64_t>(status.st_size);
    return stamp;
}

FileStamp stampOf(int fd) {
    struct stat status {};
    return ::fstat(fd, &status) == 0 ? stampOf(status) : FileStamp{};
}

class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(other.release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        reset(other.release());
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { reset(-1); }

    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void reset(int fd) {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = fd;
    }

private:
    int m_fd = -1;
};

// A named temporary file that an interrupt must not leave behind. The signal handler may only
// read plain data, so the path is kept in a fixed buffer.
std::array<char, PATH_MAX + 1> g_pendingPath{};
volatile std::sig_atomic_t g_pending = 0;
struct sigaction g_previousInt {};
struct sigaction g_previousTerm {};

extern "C" void removePendingAndRaise(int signalNumber) {
    if (g_pending != 0) {
        ::unlink(g_pendingPath.data());
        g_pending = 0;
    }
    ::sigaction(signalNumber, signalNumber == SIGINT ? &g_previousInt : &g_previousTerm, nullptr);
    ::raise(signalNumber);
}

// Removes the named temporary file on SIGINT and SIGTERM while it exists.
class PendingTemporary {
public:
    explicit PendingTemporary(const std::string& path) {
        if (path.size() >= g_pendingPath.size()) {
            return;
        }
        std::memcpy(g_pendingPath.data(), path.c_str(), path.size() + 1);
        struct sigaction action {};
        action.sa_handler = removePendingAndRaise;
        sigemptyset(&action.sa_mask);
        sigaddset(&action.sa_mask, SIGINT);
        sigaddset(&action.sa_mask, SIGTERM);
        ::sigaction(SIGINT, &action, &g_previousInt);
        ::sigaction(SIGTERM, &action, &g_previousTerm);
        g_pending = 1;
        m_armed = true;
    }
    PendingTemporary(const PendingTemporary&) = delete;
    PendingTemporary& operator=(const PendingTemporary&) = delete;
    ~PendingTemporary() {
        if (m_armed) {
            g_pending = 0;
            ::sigaction(SIGINT, &g_previousInt, nullptr);
            ::sigaction(SIGTERM, &g_previousTerm, nullptr);
        }
    }

private:
    bool m_armed = false;
};

// Where a save goes: the file a path names after following its symbolic links, and what is
// known about it.
struct Target {
    std::string folder; // "." for a bare name
    std::string name;   // the last component
    bool exists = false;
    struct stat status {};
    FileDescriptor writable; // the existing file, opened for writing
    FileDescriptor folderFd;
};

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

FileErrorCode resolve(const std::string& path, Target& target, std::error_code& reason) {
    if (path.empty()) {
        reason = systemError(ENOENT);
        return FileErrorCode::FileOpen;
    }
    std::string current = path;
    // A dangling link names the file to create, as a live one names the file to replace.
    for (int hops = 0;; ++hops) {
        if (::lstat(current.c_str(), &target.status) != 0) {
            if (errno != ENOENT) {
                reason = systemError(errno);
                return FileErrorCode::FileOpen;
            }
            break;
        }
        if (!S_ISLNK(target.status.st_mode)) {
            target.exists = true;
            break;
        }
        if (hops == 40) {
            reason = systemError(ELOOP);
            return FileErrorCode::FileOpen;
        }
        std::array<char, PATH_MAX> link{};
        const ssize_t length = ::readlink(current.c_str(), link.data(), link.size());
        if (length < 0 || static_cast<std::size_t>(length) >= link.size()) {
            reason = systemError(length < 0 ? errno : ENAMETOOLONG);
            return FileErrorCode::FileOpen;
        }
        const std::string next(link.data(), static_cast<std::size_t>(length));
        current = next.front() == '/' ? next : folderOf(current) + "/" + next;
    }
    if (!current.empty() && current.back() == '/') {
        reason = systemError(EISDIR);
        return FileErrorCode::FileOpen;
    }
    target.folder = folderOf(current);
    target.name = current.substr(current.find_last_of('/') + 1);
    if (target.exists) {
        if (S_ISDIR(target.status.st_mode)) {
            reason = systemError(EISDIR);
            return FileErrorCode::FileOpen;
        }
        // Replacing a device or a pipe with a file would break whatever it serves.
        if (!S_ISREG(target.status.st_mode)) {
            reason = make_error_code(FileReason::NotRegularFile);
            return FileErrorCode::FileOpen;
        }
        // What could not be opened for writing stays refused, as a plain overwrite would be.
        target.writable.reset(::open(current.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
        if (!target.writable) {
            reason = systemError(errno);
            return FileErrorCode::FileOpen;
        }
    }
    target.folderFd.reset(::open(target.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!target.folderFd) {
        reason = systemError(errno);
        return FileErrorCode::FileOpen;
    }
    return FileErrorCode::Ok;
}

// A short random name keeps the temporary file within the name limit of any target.
std::string temporaryName() {
    static constexpr char kHex[] = "0123456789abcdef";
    static std::mt19937 random{std::random_device{}()};
    std::string name = ".qx";
    for (std::uint32_t value = random(), i = 0; i < 6; ++i, value >>= 4) {
        name.push_back(kHex[value & 0xF]);
    }
    return name + ".tmp";
}

bool writeAll(int fd, std::string_view contents, std::error_code& reason) {
    std::size_t done = 0;
    while (done < contents.size()) {
        const ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            reason = systemError(errno);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Gives the new file the owner, group and mode of the file it replaces; a new file gets the
// mode any new file would get. Only the owner change may fail: it needs privileges.
bool takeOwnerAndMode(int fd, const Target& target, std::error_code& reason) {
    if (target.exists) {
        if (::fchown(fd, target.status.st_uid, target.status.st_gid) != 0) {
            // Not allowed: the file keeps this user's ownership, as any rewrite would.
        }
        if (::fchmod(fd, target.status.st_mode & 07777) != 0) {
            reason = systemError(errno);
            return false;
        }
        return true;
    }
    if (::fchmod(fd, newFileMode()) != 0) {
        reason = systemError(errno);
        return false;
    }
    return true;
}

// Until it is complete the temporary file is readable by nobody else: a private file's bytes
// never show.
constexpr mode_t kTemporaryMode = 0600;

// An unnamed file in the target's folder: nothing is left behind, whatever ends the process.
FileDescriptor createUnnamed(const Target& target) {
#ifdef O_TMPFILE
    return FileDescriptor(
        ::openat(target.folderFd.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, kTemporaryMode));
#else
    (void)target;
    errno = EOPNOTSUPP;
    return FileDescriptor();
#endif
}

bool linkUnnamed(int fd, const Target& target, const std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), target.folderFd.get(), name.c_str(), AT_SYMLINK_FOLLOW) ==
        0) {
        return true;
    }
#ifdef AT_EMPTY_PATH
    return ::linkat(fd, "", target.folderFd.get(), name.c_str(), AT_EMPTY_PATH) == 0;
#else
    return false;
#endif
}

bool refusesNewFiles(int error) {
    return error == EACCES || error == EPERM;
}

// The folder takes no new files but the file itself may be written: its bytes are replaced
// where they are, as a plain overwrite would do.
FileErrorCode writeInPlace(const Target& target, std::string_view contents, std::error_code& reason,
                           FileStamp& written) {
    const int fd = target.writable.get();
    std::size_t done = 0;
    while (done < contents.size()) {
        const ssize_t n =
            ::pwrite(fd, contents.data() + done, contents.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            reason = systemError(errno);
            return FileErrorCode::FileAccess;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::ftruncate(fd, static_cast<off_t>(contents.size())) != 0 || ::fsync(fd) != 0) {
        reason = systemError(errno);
        return FileErrorCode::FileAccess;
    }
    written = stampOf(fd);
    return FileErrorCode::Ok;
}

FileErrorCode moveIntoPlace(const Target& target, const std::string& temporary,
                            std::error_code& reason) {
    if (::renameat(target.folderFd.get(), temporary.c_str(), target.folderFd.get(),
                   target.name.c_str()) != 0) {
        reason = systemError(errno);
        ::unlinkat(target.folderFd.get(), temporary.c_str(), 0);
        return FileErrorCode::FileAccess;
    }
    // The new name reaches the disk with the folder.
    if (::fsync(target.folderFd.get()) != 0 && errno != EINVAL) {
        reason = systemError(errno);
        return FileErrorCode::FileAccess;
    }
    return FileErrorCode::Ok;
}

FileErrorCode writeNamed(const Target& target, std::string_view contents, std::error_code& reason,
                         FileStamp& written) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string name = temporaryName();
        const std::string path = target.folder + "/" + name;
        PendingTemporary pending(path);
        FileDescriptor fd(::openat(target.folderFd.get(), name.c_str(),
                                   O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kTemporaryMode));
        if (!fd) {
            if (errno == EEXIST) {
                continue;
            }
            if (target.exists && refusesNewFiles(errno)) {
                return writeInPlace(target, contents, reason, written);
            }
            reason = systemError(errno);
            return FileErrorCode::FileOpen;
        }
        if (!writeAll(fd.get(), contents, reason) || !takeOwnerAndMode(fd.get(), target, reason) ||
            ::fsync(fd.get()) != 0) {
            if (!reason) {
                reason = systemError(errno);
            }
            ::unlinkat(target.folderFd.get(), name.c_str(), 0);
            return FileErrorCode::FileAccess;
        }
        // Taken before the move: once named, the file is anybody's to change.
        written = stampOf(fd.get());
        if (::close(fd.release()) != 0) {
            reason = systemError(errno);
            ::unlinkat(target.folderFd.get(), name.c_str(), 0);
            return FileErrorCode::FileAccess;
        }
        return moveIntoPlace(target, name, reason);
    }
    reason = systemError(EEXIST);
    return FileErrorCode::FileOpen;
}

bool isTemporaryName(std::string_view name) {
    constexpr std::string_view kHex = "0123456789abcdef";
    return name.size() == 13 && name.substr(0, 3) == ".qx" && name.substr(9) == ".tmp" &&
           name.substr(3, 6).find_first_not_of(kHex) == std::string_view::npos;
}

// A save killed between naming its file and moving it leaves the file under our temporary name.
// Ours are removed at the next save into the folder: regular files of this user with that name
// pattern, untouched for a minute before this save began, so that a save running beside this
// one keeps its file.
void removeLeftovers(const Target& target, std::time_t started) {
    constexpr std::time_t kQuiet = 60;
    const int fd = ::openat(target.folderFd.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    DIR* folder = ::fdopendir(fd);
    if (folder == nullptr) {
        ::close(fd);
        return;
    }
    while (const dirent* entry = ::readdir(folder)) {
        struct stat info {};
        if (isTemporaryName(entry->d_name) &&
            ::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
            info.st_mtime < started - kQuiet) {
            ::unlinkat(fd, entry->d_name, 0);
        }
    }
    ::closedir(folder);
}

FileErrorCode replace(Target& target, std::string_view contents, std::error_code& reason,
                      FileStamp& written) {
    removeLeftovers(target, std::time(nullptr));
    FileDescriptor fd = createUnnamed(target);
    if (!fd) {
        // Without unnamed files in this folder, a named one does; a folder that refuses new
        // files refuses both.
        return writeNamed(target, contents, reason, written);
    }
    if (!writeAll(fd.get(), contents, reason) || !takeOwnerAndMode(fd.get(), target, reason) ||
        ::fsync(fd.get()) != 0) {
        if (!reason) {
            reason = systemError(errno);
        }
        return FileErrorCode::FileAccess;
    }
    written = stampOf(fd.get());
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string name = temporaryName();
        PendingTemporary pending(target.folder + "/" + name);
        if (linkUnnamed(fd.get(), target, name)) {
            return moveIntoPlace(target, name, reason);
        }
        if (errno != EEXIST) {
            break;
        }
    }
    // The file cannot be given a name here: write it again under one.
    return writeNamed(target, contents, reason, written);
}

} // namespace

FileErrorCode replaceFileContents(const std::string& path, std::string_view contents,
                                  std::error_code& reason, FileStamp* written) {
    reason.clear();
    Target target;
    const FileErrorCode resolved = resolve(path, target, reason);
    if (resolved != FileErrorCode::Ok) {
        return resolved;
    }
    FileStamp stamp;
    const FileErrorCode result = replace(target, contents, reason, stamp);
    if (written != nullptr) {
        *written = result == FileErrorCode::Ok ? stamp : FileStamp{};
    }
    return result;
}

FileErrorCode createNewFile(const std::string& path, std::string_view contents,
                            std::error_code& reason) {
    reason.clear();
    std::filesystem::create_directories(folderOf(path), reason);
    if (reason) {
        return FileErrorCode::FileOpen;
    }
    Target target;
    const FileErrorCode resolved = resolve(path, target, reason);
    if (resolved != FileErrorCode::Ok) {
        return resolved;
    }
    if (target.exists) {
        reason = systemError(EEXIST);
        return FileErrorCode::FileOpen;
    }
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string name = temporaryName();
        PendingTemporary pending(target.folder + "/" + name);
        FileDescriptor fd(::openat(target.folderFd.get(), name.c_str(),
                                   O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kTemporaryMode));
        if (!fd) {
            if (errno == EEXIST) {
                continue;
            }
            reason = systemError(errno);
            return FileErrorCode::FileOpen;
        }
        const bool written = writeAll(fd.get(), contents, reason) &&
                             takeOwnerAndMode(fd.get(), target, reason) && ::fsync(fd.get()) == 0 &&
                             ::close(fd.release()) == 0;
        // A link, unlike a rename, refuses a name that someone took meanwhile.
        const bool linked = written && ::linkat(target.folderFd.get(), name.c_str(),
                                                target.folderFd.get(), target.name.c_str(), 0) == 0;
        if (!linked && !reason) {
            reason = systemError(errno);
        }
        ::unlinkat(target.folderFd.get(), name.c_str(), 0);
        if (!linked) {
            return reason == std::errc::file_exists ? FileErrorCode::FileOpen
                                                    : FileErrorCode::FileAccess;
        }
        if (::fsync(target.folderFd.get()) != 0 && errno != EINVAL) {
            reason = systemError(errno);
            return FileErrorCode::FileAccess;
        }
        return FileErrorCode::Ok;
    }
    reason = systemError(EEXIST);
    return FileErrorCode::FileOpen;
}

FileStamp fileStamp(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? stampOf(status) : FileStamp{};
}

FileStamp fileStamp(std::FILE* file) {
    return file != nullptr ? stampOf(::fileno(file)) : FileStamp{};
}

FileErrorCode replaceFileContents(const std::string& path, std::string_view contents) {
    std::error_code reason;
    return replaceFileContents(path, contents, reason);
}

FileErrorCode checkReplaceable(const std::string& path, std::error_code& reason) {
    reason.clear();
    Target target;
    const FileErrorCode resolved = resolve(path, target, reason);
    if (resolved != FileErrorCode::Ok) {
        return resolved;
    }
    if (createUnnamed(target)) {
        return FileErrorCode::Ok;
    }
    const std::string name = temporaryName();
    PendingTemporary pending(target.folder + "/" + name);
    FileDescriptor fd(::openat(target.folderFd.get(), name.c_str(),
                               O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kTemporaryMode));
    if (fd) {
        ::unlinkat(target.folderFd.get(), name.c_str(), 0);
        return FileErrorCode::Ok;
    }
    if (target.exists && refusesNewFiles(errno)) {
        return FileErrorCode::Ok; // written in place
    }
    reason = systemError(errno);
    return FileErrorCode::FileOpen;
}

std::FILE* openRegularFile(const std::string& path, std::error_code& reason) {
    reason.clear();
    // Without O_NONBLOCK a pipe with no writer would hold the open forever.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd) {
        reason = systemError(errno);
        return nullptr;
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0) {
        reason = systemError(errno);
        return nullptr;
    }
    if (S_ISDIR(status.st_mode)) {
        reason = systemError(EISDIR);
        return nullptr;
    }
    if (!S_ISREG(status.st_mode)) {
        reason = make_error_code(FileReason::NotRegularFile);
        return nullptr;
    }
    ::fcntl(fd.get(), F_SETFL, O_RDONLY);
    std::FILE* file = ::fdopen(fd.get(), "rb");
    if (file == nullptr) {
        reason = systemError(errno);
        return nullptr;
    }
    fd.release();
    return file;
}

const std::error_category& fileReasonCategory() {
    class Category : public std::error_category {
    public:
        const char* name() const noexcept override { return "qx5130-file"; }
        std::string message(int value) const override {
            switch (static_cast<FileReason>(value)) {
            case FileReason::NotRegularFile:
                return "Not a regular file";
            case FileReason::TooLarge:
                return "File too large";
            }
            return "Unknown reason";
        }
    };
    static const Category category;
    return category;
}

} // namespace qx
