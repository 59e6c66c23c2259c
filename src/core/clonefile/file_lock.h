#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace qx {

// An advisory lock on a clone file, held while a command reads, changes and replaces it, so
// that two commands on one file take turns instead of one losing the other's change. It holds
// back only those who take it too; readers see whole files anyway, as a save replaces a file in
// one step. Saving puts a new file under the name: the lock is granted on the file the name
// leads to once it is granted, and whoever waited on the replaced file tries again on the new
// one. One implementation per platform (file_lock_<platform>.cpp).
class FileLock {
public:
    FileLock() = default;
    ~FileLock() { release(); }
    FileLock(FileLock&& other) noexcept : m_handle(other.m_handle) { other.m_handle = kNone; }
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Takes the lock on the file `path` names, waiting while another process holds it;
    // `waiting`, if given, is told once before a wait. Returns whether the lock is held: there
    // is nothing to lock when no regular file is there yet (or it cannot be opened, which its
    // reader reports), and a file system without locks gives none; the work goes on unlocked.
    bool acquire(const std::string& path, const std::function<void()>& waiting = {});
    bool held() const { return m_handle != kNone; }
    // Whether the lock is on the file `path` names now (another name for it counts).
    bool covers(const std::string& path) const;
    void release();

private:
    static constexpr std::intptr_t kNone = -1;
    std::intptr_t m_handle = kNone;
};

inline FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        m_handle = other.m_handle;
        other.m_handle = kNone;
    }
    return *this;
}

} // namespace qx
