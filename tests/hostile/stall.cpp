// LD_PRELOAD shim for faults aimed at one step of a save of the settings file (or of the new file that is
// to take its place). CALL is flock, write, fallocate, ftruncate, fsync, rename or linkat.
//   STALL_IN=CALL    holds the process inside its first CALL while the file STALL_GATE exists, and makes
//                    GATE.stalled once it is held (holding the lock, or there to be killed)
//   FAIL_IN=CALL     the first fsync fails with EIO, as on a write-back error: the disk loses the bytes
//                    written since the last sync, the cache still shows them; every linkat fails with
//                    ENOENT, as on a kernel before 6.10 without /proc
//   SYNC_LOG=PATH    after each fsync, PATH holds what the disk holds of the file synced
//   WINDOW_CALLS=1   each CALL on the process's first thread, the windows', is told on standard error
//   SLOW_FSYNC_MS=N  every fsync of the file takes N milliseconds longer (a busy disk, a network home)
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <utility>
#include <vector>

namespace {

std::atomic<bool> held{false};
std::atomic<bool> failed{false};

bool isStore(const char* path) {
    const char* slash = strrchr(path, '/');
    const char* name = slash ? slash + 1 : path;
    return strcmp(name, "Tallix.exe.conf") == 0 || strncmp(name, ".Tallix.exe.conf.tallix-new-", 28) == 0;
}

bool isStoreFile(int fd) {
    char link[64], path[4096] = {};
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    return readlink(link, path, sizeof path - 1) > 0 && isStore(path);
}

// Called before each CALL on the settings file; true when the call is to fail.
bool aim(const char* call) {
    if (getenv("WINDOW_CALLS") && gettid() == getpid()) fprintf(stderr, "on the window's thread: %s\n", call);
    const char* fail = getenv("FAIL_IN");
    if (fail && strcmp(fail, call) == 0 && (strcmp(call, "fsync") != 0 || !failed.exchange(true)))
        return true;
    const char* in = getenv("STALL_IN");
    const char* gate = getenv("STALL_GATE");
    if (!in || !gate || strcmp(in, call) != 0 || held.exchange(true)) return false;
    char mark[4096];
    snprintf(mark, sizeof mark, "%s.stalled", gate);
    close(open(mark, O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    const timespec step{0, 10'000'000};
    while (access(gate, F_OK) == 0)
        nanosleep(&step, nullptr); // signals cut a step short; the gate decides
    return false;
}

template <typename Function>
Function real(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

// The disk's copy of the file last written (only one thread writes the settings file): its bytes as last
// synced, and the parts written since, which a sync makes lasting and a failed sync loses.
struct Disk {
    dev_t device = 0;
    ino_t inode = 0;
    std::string bytes;
    std::vector<std::pair<off_t, size_t>> unsynced;
} disk;

std::string bytesOf(int fd) {
    std::string bytes;
    char buffer[65536];
    for (ssize_t got; (got = pread(fd, buffer, sizeof buffer, off_t(bytes.size()))) > 0;)
        bytes.append(buffer, size_t(got));
    return bytes;
}

void written(int fd, off_t offset, size_t size) {
    struct stat st {};
    if (fstat(fd, &st) != 0) return;
    if (st.st_dev != disk.device || st.st_ino != disk.inode) disk = {st.st_dev, st.st_ino, bytesOf(fd), {}};
    disk.unsynced.emplace_back(offset, size);
}

void synced(int fd, bool lasting) {
    if (lasting) {
        const std::string now = bytesOf(fd);
        disk.bytes.resize(now.size());
        for (const auto& [offset, size] : disk.unsynced)
            if (size_t(offset) < now.size())
                disk.bytes.replace(size_t(offset), std::min(size, now.size() - size_t(offset)), now,
                                   size_t(offset));
    }
    disk.unsynced.clear();
    if (const char* log = getenv("SYNC_LOG"); log && lasting) {
        const int out = open(log, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        static_cast<void>(write(out, disk.bytes.data(), disk.bytes.size()));
        close(out);
    }
}

} // namespace

extern "C" {

int flock(int fd, int operation) {
    if (!(operation & LOCK_UN) && isStoreFile(fd)) aim("flock");
    return real<int (*)(int, int)>("flock")(fd, operation);
}

int renameat(int from, const char* old, int to, const char* name) {
    if (isStore(name)) aim("rename");
    return real<int (*)(int, const char*, int, const char*)>("renameat")(from, old, to, name);
}

int linkat(int from, const char* old, int to, const char* name, int flags) {
    if (isStore(name) && aim("linkat")) return errno = ENOENT, -1;
    return real<int (*)(int, const char*, int, const char*, int)>("linkat")(from, old, to, name, flags);
}

ssize_t pwrite64(int fd, const void* data, size_t size, off_t offset) {
    if (!isStoreFile(fd))
        return real<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite64")(fd, data, size, offset);
    aim("write");
    written(fd, offset, size);
    return real<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite64")(fd, data, size, offset);
}

ssize_t pwrite(int fd, const void* data, size_t size, off_t offset) {
    return pwrite64(fd, data, size, offset);
}

int fallocate64(int fd, int mode, off_t offset, off_t size) {
    if (isStoreFile(fd)) aim("fallocate");
    return real<int (*)(int, int, off_t, off_t)>("fallocate64")(fd, mode, offset, size);
}

int fallocate(int fd, int mode, off_t offset, off_t size) {
    return fallocate64(fd, mode, offset, size);
}

int ftruncate64(int fd, off_t size) {
    if (isStoreFile(fd)) aim("ftruncate");
    return real<int (*)(int, off_t)>("ftruncate64")(fd, size);
}

int ftruncate(int fd, off_t size) {
    return ftruncate64(fd, size);
}

int fsync(int fd) {
    struct stat st {};
    if (!isStoreFile(fd) || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return real<int (*)(int)>("fsync")(fd);
    if (const char* slow = getenv("SLOW_FSYNC_MS")) {
        const long ms = atol(slow);
        const timespec wait{ms / 1000, (ms % 1000) * 1'000'000};
        nanosleep(&wait, nullptr);
    }
    if (aim("fsync")) {
        synced(fd, false);
        return errno = EIO, -1;
    }
    const int result = real<int (*)(int)>("fsync")(fd);
    synced(fd, result == 0);
    return result;
}
}
