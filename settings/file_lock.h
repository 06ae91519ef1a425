#pragma once

#include <chrono>
#include <string>
#include <variant>

#include <sys/types.h>

namespace tallix {

// Why something on the file system failed: the system's error number (0 when none applies) and the
// reason in words, as the user is told it.
struct FileFailure {
    int error = 0;
    std::string reason;
};

// The lock that copies of the program take to edit one file: a lock file beside it, held by whoever
// created it. It names the holder's process, application and host as QLockFile does, and the holder
// keeps an flock on it, so that the kernel tells everyone else when the holder has died.
class FileLock {
public:
    struct Timing {
        std::chrono::milliseconds wait{5000};  // how long to wait for another copy's lock
        std::chrono::milliseconds stale{2000}; // a lock this old is stuck: a save takes milliseconds
        std::chrono::milliseconds step{50};    // the longest single wait
    };

    // Takes the lock at `path`, waiting in short steps while another live copy holds it. A lock left by
    // a process that has died, or older than `stale`, is broken whatever its mode or owner, wherever the
    // folder lets this user remove it. Fails at once where no lock can be made (a folder at `path`, a
    // folder that can't be written).
    static std::variant<FileLock, FileFailure> Take(const std::string& path, Timing timing);

    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&&) = delete;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

    // Whether the lock file at the path is still this one (no other copy has broken it).
    bool StillHeld() const;

private:
    FileLock(std::string path, int fd, dev_t device, ino_t inode);

    std::string path_;
    int fd_ = -1;
    dev_t device_ = 0;
    ino_t inode_ = 0;
};

} // namespace tallix
