#include "settings/file_lock.h"

#include <cerrno>
#include <cstring>
#include <random>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tallix {
namespace {

using Clock = std::chrono::steady_clock;

std::string hostName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

// How long ago the file was last written, by the wall clock its time stamps use; a time in the future
// (a clock set back) counts by its distance too.
std::chrono::milliseconds age(const struct stat& st) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const long long ms =
        (now.tv_sec - st.st_mtim.tv_sec) * 1000LL + (now.tv_nsec - st.st_mtim.tv_nsec) / 1000000;
    return std::chrono::milliseconds(ms < 0 ? -ms : ms);
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// Whether the process that wrote the lock has gone: nobody holds its flock, and it names a process of
// this host that no longer exists. A lock that can't be opened or names no process only goes stale by age.
bool holderDead(const std::string& path, const struct stat& seen) {
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    bool dead = false;
    if (fstat(fd, &st) == 0 && sameFile(st, seen) && flock(fd, LOCK_SH | LOCK_NB) == 0) {
        char text[512] = {};
        const ssize_t size = read(fd, text, sizeof text - 1);
        // "PID\nAPPLICATION\nHOST\n..."
        const std::string content(text, size > 0 ? std::size_t(size) : 0);
        const std::size_t first = content.find('\n');
        const std::size_t second = first == std::string::npos ? first : content.find('\n', first + 1);
        const std::size_t third = second == std::string::npos ? second : content.find('\n', second + 1);
        if (third != std::string::npos && content.substr(second + 1, third - second - 1) == hostName()) {
            char* end = nullptr;
            const long pid = std::strtol(content.c_str(), &end, 10);
            dead = pid > 0 && end == content.c_str() + first && kill(pid_t(pid), 0) != 0 && errno == ESRCH;
        }
    }
    close(fd);
    return dead;
}

// Removes the stale lock that `seen` describes. It is first moved aside, so that a fresh lock that has
// just taken its place is never removed: that one goes back. False when the folder doesn't let this
// user move it (a folder with the sticky bit, owned by someone else).
bool breakLock(const std::string& path, const struct stat& seen) {
    static std::mt19937 random(std::random_device{}());
    const std::string aside = path + ".stale." + std::to_string(getpid()) + '.' + std::to_string(random());
    if (rename(path.c_str(), aside.c_str()) != 0) return false;
    struct stat moved {};
    if (lstat(aside.c_str(), &moved) == 0 && !sameFile(moved, seen))
        static_cast<void>(link(aside.c_str(), path.c_str()));
    unlink(aside.c_str());
    return true;
}

} // namespace

std::variant<FileLock, FileFailure> FileLock::Take(const std::string& path, Timing timing) {
    static std::mt19937 random(std::random_device{}());
    const auto deadline = Clock::now() + timing.wait;
    for (;;) {
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd >= 0) {
            flock(fd, LOCK_EX | LOCK_NB); // nobody else has this new file open for long
            // What it says is only for others to judge the lock by; a lock that says nothing (a full
            // disk) still holds.
            const std::string about = std::to_string(getpid()) + "\nTallix.exe\n" + hostName() + '\n';
            static_cast<void>(write(fd, about.data(), about.size()));
            struct stat st {};
            fstat(fd, &st);
            return FileLock(path, fd, st.st_dev, st.st_ino);
        }
        if (errno == EINTR) continue;
        if (errno != EEXIST) return FileFailure{errno, std::strerror(errno)};

        struct stat st {};
        if (lstat(path.c_str(), &st) != 0) {
            if (errno == ENOENT) continue; // released just now
            return FileFailure{errno, std::strerror(errno)};
        }
        if (S_ISDIR(st.st_mode)) return FileFailure{EISDIR, "Its lock " + path + " is a folder"};
        const bool stale = age(st) > timing.stale || (S_ISREG(st.st_mode) && holderDead(path, st));
        if (stale && breakLock(path, st)) continue;
        if (Clock::now() >= deadline)
            return FileFailure{EWOULDBLOCK, "Another program has kept it locked (" + path + ")"};
        // Short, uneven steps, so that copies waiting together don't wake in step.
        const auto step =
            std::chrono::milliseconds(1 + random() % std::max<long long>(1, timing.step.count()));
        std::this_thread::sleep_for(std::min<Clock::duration>(step, deadline - Clock::now()));
    }
}

FileLock::FileLock(std::string path, int fd, dev_t device, ino_t inode)
    : path_(std::move(path))
    , fd_(fd)
    , device_(device)
    , inode_(inode) {}

FileLock::FileLock(FileLock&& other) noexcept
    : path_(std::move(other.path_))
    , fd_(std::exchange(other.fd_, -1))
    , device_(other.device_)
    , inode_(other.inode_) {}

FileLock::~FileLock() {
    if (fd_ < 0) return;
    if (StillHeld()) unlink(path_.c_str());
    close(fd_);
}

bool FileLock::StillHeld() const {
    struct stat st {};
    return fd_ >= 0 && lstat(path_.c_str(), &st) == 0 && st.st_dev == device_ && st.st_ino == inode_;
}

} // namespace tallix
