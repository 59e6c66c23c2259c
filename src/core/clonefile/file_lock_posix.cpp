#include "clonefile/file_lock.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qx {

namespace {

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// flock, not fcntl: an fcntl lock would go with the first close of any descriptor of the file,
// and the reader and the writer open it on their own.
bool lockDescriptor(int fd, const std::function<void()>& waiting) {
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) {
            continue;
        }
        if (errno != EWOULDBLOCK) {
            return false; // no locks on this file system
        }
        if (waiting) {
            waiting();
        }
        while (::flock(fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                return false;
            }
        }
        break;
    }
    return true;
}

} // namespace

bool FileLock::acquire(const std::string& path, const std::function<void()>& waiting) {
    release();
    bool told = false;
    const std::function<void()> once = [&] {
        if (!told && waiting) {
            told = true;
            waiting();
        }
    };
    for (;;) {
        // O_NONBLOCK: a pipe with no writer would hold the open forever.
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            return false;
        }
        struct stat locked {};
        if (::fstat(fd, &locked) != 0 || !S_ISREG(locked.st_mode) || !lockDescriptor(fd, once)) {
            ::close(fd);
            return false;
        }
        // The file may have been replaced while this process waited: the lock on the old one
        // guards nothing any more.
        struct stat named {};
        const bool stillThere = ::stat(path.c_str(), &named) == 0;
        if (stillThere && sameFile(named, locked)) {
            m_handle = fd;
            return true;
        }
        ::close(fd);
        if (!stillThere) {
            return false; // gone: nothing left to lock
        }
    }
}

bool FileLock::covers(const std::string& path) const {
    struct stat locked {};
    struct stat named {};
    return held() && ::fstat(static_cast<int>(m_handle), &locked) == 0 &&
           ::stat(path.c_str(), &named) == 0 && sameFile(locked, named);
}

void FileLock::release() {
    if (held()) {
        ::close(static_cast<int>(m_handle)); // the lock goes with its descriptor
        m_handle = kNone;
    }
}

} // namespace qx
