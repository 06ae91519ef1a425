// LD_PRELOAD shim: holds the process inside its first call of one kind on the settings file for as long
// as a gate file exists, so that it holds the file's lock for as long as a test wants.
//   STALL_IN=rename|write|fallocate   the call to hold
//   STALL_GATE=PATH                   the gate; GATE.stalled appears once the process is held
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#include <atomic>

namespace {

std::atomic<bool> held{false};

void stall(const char* call) {
    const char* in = getenv("STALL_IN");
    const char* gate = getenv("STALL_GATE");
    if (!in || !gate || strcmp(in, call) != 0 || held.exchange(true)) return;
    char mark[4096];
    snprintf(mark, sizeof mark, "%s.stalled", gate);
    close(open(mark, O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    const timespec step{0, 10'000'000};
    while (access(gate, F_OK) == 0)
        nanosleep(&step, nullptr); // signals cut a step short; the gate decides
}

bool isStore(const char* path) {
    const char* slash = strrchr(path, '/');
    return strcmp(slash ? slash + 1 : path, "Tallix.exe.conf") == 0;
}

bool isStoreFile(int fd) {
    char link[64], path[4096] = {};
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    return readlink(link, path, sizeof path - 1) > 0 && isStore(path);
}

template <typename Function>
Function real(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

int rename(const char* old, const char* name) {
    if (isStore(name)) stall("rename");
    return real<int (*)(const char*, const char*)>("rename")(old, name);
}

int renameat(int from, const char* old, int to, const char* name) {
    if (isStore(name)) stall("rename");
    return real<int (*)(int, const char*, int, const char*)>("renameat")(from, old, to, name);
}

ssize_t pwrite64(int fd, const void* data, size_t size, off_t offset) {
    if (isStoreFile(fd)) stall("write");
    return real<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite64")(fd, data, size, offset);
}

ssize_t pwrite(int fd, const void* data, size_t size, off_t offset) {
    return pwrite64(fd, data, size, offset);
}

int fallocate64(int fd, int mode, off_t offset, off_t size) {
    if (isStoreFile(fd)) stall("fallocate");
    return real<int (*)(int, int, off_t, off_t)>("fallocate64")(fd, mode, offset, size);
}

int fallocate(int fd, int mode, off_t offset, off_t size) {
    return fallocate64(fd, mode, offset, size);
}
}
