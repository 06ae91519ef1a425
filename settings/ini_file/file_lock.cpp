#include "settings/ini_file/file_lock.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tallix {
namespace {

constexpr std::chrono::milliseconds kPatience{5000};
constexpr std::chrono::milliseconds kStep{20};

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace

std::variant<LockedFile, FileFailure> LockStoreFile(const StorePlace& place) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + kPatience;
    const int folder = place.folder.Get();
    const char* name = place.name.c_str();
    constexpr int kOpen = O_RDWR | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK | O_CLOEXEC;
    for (int pass = 0;; ++pass) {
        if (pass > 0 && Clock::now() >= deadline)
            return FileFailure{EWOULDBLOCK, "Another copy of Tallix kept replacing it"};
        LockedFile locked;
        struct stat seen {};
        // The kind is checked before opening: opening a FIFO or a device could block or act on it.
        if (fstatat(folder, name, &seen, AT_SYMLINK_NOFOLLOW) == 0) {
            if (auto failure = NotARegularFile(seen)) return *failure;
            locked.file = Descriptor(openat(folder, name, kOpen));
        } else if (errno == ENOENT) {
            locked.file = Descriptor(openat(folder, name, kOpen | O_CREAT | O_EXCL, 0666));
            locked.created = true;
            if (!locked.file && errno == EEXIST) continue; // another copy made it just now
        } else {
            return SystemFailure();
        }
        if (!locked.file || fstat(locked.file.Get(), &locked.st) != 0) return SystemFailure();
        if (locked.created ? !S_ISREG(locked.st.st_mode) : !sameFile(locked.st, seen))
            continue; // swapped since it was looked at

        while (flock(locked.file.Get(), LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR) return SystemFailure();
            if (Clock::now() >= deadline)
                return FileFailure{EWOULDBLOCK, "Another program has kept it locked"};
            std::this_thread::sleep_for(std::min<Clock::duration>(kStep, deadline - Clock::now()));
        }
        // The copy that held the lock may have put a new file in this one's place: lock that instead.
        struct stat now {};
        if (fstatat(folder, name, &now, AT_SYMLINK_NOFOLLOW) == 0 && sameFile(now, locked.st) &&
            fstat(locked.file.Get(), &locked.st) == 0)
            return locked;
    }
}

} // namespace tallix
