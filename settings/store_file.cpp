#include "settings/store_file.h"

#include "settings/end_at_once.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <thread>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/xattr.h>
#endif

namespace tallix {
namespace {

// Another copy took this one's lock away (it stood still for longer than a lock may be held); the save
// starts over.
FileFailure lockBroken() {
    return {ENOLCK, "Another copy broke its lock"};
}

FileFailure systemFailure(int error = errno) {
    std::string reason = std::strerror(error);
    return {error, reason};
}

// Closes its descriptor when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd)
        : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) close(fd_);
    }
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }

private:
    int fd_;
};

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates the folder and the folders above it where missing.
std::optional<FileFailure> makeFolders(const std::string& folder) {
    for (std::size_t at = 1; at <= folder.size(); ++at) {
        if (at != folder.size() && folder[at] != '/') continue;
        const std::string part = folder.substr(0, at);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return systemFailure();
    }
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0) return systemFailure();
    if (!S_ISDIR(st.st_mode)) return systemFailure(ENOTDIR);
    return std::nullopt;
}

// The file that `path` names once every symbolic link is followed; it need not exist.
std::variant<std::string, FileFailure> followLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0) {
            if (errno == ENOENT) return path;
            return systemFailure();
        }
        if (!S_ISLNK(st.st_mode)) return path;
        char target[PATH_MAX];
        const ssize_t size = readlink(path.c_str(), target, sizeof target);
        if (size < 0 || size == ssize_t(sizeof target)) return systemFailure(size < 0 ? errno : ENAMETOOLONG);
        const std::string link(target, std::size_t(size));
        path = link.starts_with('/') ? link : folderOf(path) + '/' + link;
    }
    return systemFailure(ELOOP);
}

std::optional<FileFailure> notARegularFile(const struct stat& st) {
    if (S_ISREG(st.st_mode)) return std::nullopt;
    return FileFailure{EINVAL,
                       S_ISDIR(st.st_mode) ? "It is a folder, not a file" : "It is not a regular file"};
}

// Reads the whole of an open regular file, checking its kind and size first.
std::variant<QByteArray, FileFailure> readAll(int fd, const struct stat& st) {
    if (auto failure = notARegularFile(st)) return *failure;
    if (st.st_size > kMaxStoreFileSize) return FileFailure{EFBIG, "It is larger than 1 MiB"};
    QByteArray data(qsizetype(st.st_size) + 1, Qt::Uninitialized);
    qsizetype size = 0;
    for (;;) {
        const ssize_t got = pread(fd, data.data() + size, std::size_t(data.size() - size), size);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return systemFailure();
        if (got == 0) break;
        size += got;
        if (size > kMaxStoreFileSize) return FileFailure{EFBIG, "It is larger than 1 MiB"};
        if (size == data.size()) data.resize(std::min<qsizetype>(data.size() * 2, kMaxStoreFileSize + 1));
    }
    data.truncate(size);
    return data;
}

std::optional<FileFailure> writeAll(int fd, QByteArrayView bytes, off_t offset) {
    while (!bytes.isEmpty()) {
        const ssize_t put = pwrite(fd, bytes.data(), std::size_t(bytes.size()), offset);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return systemFailure(put < 0 ? errno : ENOSPC);
        bytes = bytes.sliced(put);
        offset += put;
    }
    return std::nullopt;
}

#ifdef __linux__
// The names of a file's extended attributes; nothing when they can't be listed.
std::optional<std::vector<std::string>> attributeNames(int fd) {
    const ssize_t size = flistxattr(fd, nullptr, 0);
    if (size < 0) return errno == ENOTSUP ? std::optional(std::vector<std::string>()) : std::nullopt;
    std::vector<char> names(std::size_t(size) + 1);
    const ssize_t listed = flistxattr(fd, names.data(), names.size());
    if (listed < 0) return std::nullopt;
    std::vector<std::string> found;
    for (const char* name = names.data(); name < names.data() + listed; name += std::strlen(name) + 1)
        found.emplace_back(name);
    return found;
}
#endif

// Gives `to` exactly the extended attributes of `from`, the access control list among them (one that
// `to` inherited from its folder goes). False when that can't be done: the new file would then be open
// to others where the old one was not, or closed to them where it was open.
bool copyAttributes([[maybe_unused]] int from, [[maybe_unused]] int to) {
#ifdef __linux__
    const auto names = attributeNames(from);
    const auto inherited = attributeNames(to);
    if (!names || !inherited) return false;
    for (const std::string& name : *inherited)
        if (std::find(names->begin(), names->end(), name) == names->end() &&
            fremovexattr(to, name.c_str()) != 0)
            return false;
    for (const std::string& name : *names) {
        const ssize_t length = fgetxattr(from, name.c_str(), nullptr, 0);
        if (length < 0) return false;
        std::vector<char> value(std::size_t(length) + 1);
        const ssize_t got = fgetxattr(from, name.c_str(), value.data(), value.size());
        if (got < 0 || fsetxattr(to, name.c_str(), value.data(), std::size_t(got), 0) != 0) return false;
    }
#endif
    return true;
}

enum class Replaced {
    Done,
    InPlaceNeeded
};

// Writes the new bytes to a file beside the old one, gives it the old one's owner, attributes and mode,
// flushes it, and puts it in the old one's place (or the first file's, when there was none).
std::variant<Replaced, FileFailure> replaceFile(const std::string& target, const struct stat* old, int oldFd,
                                                const QByteArray& data, const FileLock* lock) {
    const std::size_t slash = target.rfind('/');
    std::string temporary = target.substr(0, slash + 1) + '.' + target.substr(slash + 1) + ".XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        if (old && (errno == EACCES || errno == EPERM || errno == EROFS)) return Replaced::InPlaceNeeded;
        return systemFailure();
    }
    Descriptor file(fd);
    const auto discard = [&](std::variant<Replaced, FileFailure> outcome) {
        unlink(temporary.c_str());
        return outcome;
    };
    if (auto failure = writeAll(fd, data, 0)) return discard(*failure);
    if (old) {
        const bool owned = old->st_uid == geteuid() && old->st_gid == getegid();
        if ((!owned && fchown(fd, old->st_uid, old->st_gid) != 0) || !copyAttributes(oldFd, fd) ||
            fchmod(fd, old->st_mode & 07777) != 0)
            return discard(Replaced::InPlaceNeeded);
    }
    if (fsync(fd) != 0) return discard(systemFailure());
    if (lock && !lock->StillHeld()) return discard(lockBroken());
    if (rename(temporary.c_str(), target.c_str()) != 0) return discard(systemFailure());
    const Descriptor folder(open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder) fsync(folder.get()); // the rename itself, on disk
    return Replaced::Done;
}

// Rewrites the file where it is, from the first byte that changes. Room for a longer file is taken
// first, and a write that fails puts the old bytes back, so a full disk leaves the file as it was.
std::optional<FileFailure> rewriteInPlace(int fd, const QByteArray& old, const QByteArray& data) {
    const HoldEndAtOnce hold; // a file ended half rewritten would be cut
    qsizetype first = 0;
    while (first < old.size() && first < data.size() && old[first] == data[first])
        ++first;
#ifdef __linux__
    if (data.size() > old.size() && fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, data.size()) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS)
        return systemFailure();
#endif
    if (auto failure = writeAll(fd, QByteArrayView(data).sliced(first), first)) {
        writeAll(fd, QByteArrayView(old).sliced(first), first);
        ftruncate(fd, old.size());
        return failure;
    }
    if (data.size() < old.size() && ftruncate(fd, data.size()) != 0) {
        const FileFailure failure = systemFailure();
        writeAll(fd, QByteArrayView(old).sliced(first), first);
        return failure;
    }
    if (fsync(fd) != 0) return systemFailure();
    return std::nullopt;
}

// Holds an flock on the file itself, where no lock file can be made beside it (a folder this user
// can't write): only copies that rewrite the file in place meet there, and they all take it.
std::optional<FileFailure> lockInPlace(int fd, const FileLock::Timing& timing) {
    const auto deadline = std::chrono::steady_clock::now() + timing.wait;
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) return systemFailure();
        if (std::chrono::steady_clock::now() >= deadline)
            return FileFailure{EWOULDBLOCK, "Another program has kept it locked"};
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::nullopt;
}

// Removes what copies killed in the middle of a save left in the folder: their new file, not yet in
// place, and a broken lock moved aside. Only under the lock, and only what is older than a lock may be.
void removeLeftovers(const std::string& target, const std::string& lockPath,
                     std::chrono::milliseconds stale) {
    const std::string folder = folderOf(target);
    const std::string temporary = '.' + target.substr(target.rfind('/') + 1) + '.';
    const std::string aside = lockPath.substr(lockPath.rfind('/') + 1) + ".stale.";
    DIR* entries = opendir(folder.c_str());
    if (!entries) return;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    while (const dirent* entry = readdir(entries)) {
        const std::string_view name = entry->d_name;
        const bool ours = (name.starts_with(temporary) && name.size() == temporary.size() + 6) ||
                          (name.starts_with(aside) && folderOf(lockPath) == folder);
        struct stat st {};
        const std::string path = folder + '/' + std::string(name);
        if (ours && lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            now.tv_sec - st.st_mtim.tv_sec > std::chrono::ceil<std::chrono::seconds>(stale).count())
            unlink(path.c_str());
    }
    closedir(entries);
}

std::optional<FileFailure> editOnce(const std::string& path, const std::string& target,
                                    const std::function<QByteArray(const QByteArray&)>& edit,
                                    const FileLock::Timing& timing) {
    auto taken = FileLock::Take(path + ".lock", timing);
    const FileLock* lock = std::get_if<FileLock>(&taken);
    if (!lock) {
        const FileFailure& failure = std::get<FileFailure>(taken);
        // No lock file in a folder this user can't write: the file can still be rewritten in place.
        if (failure.error != EACCES && failure.error != EPERM && failure.error != EROFS) return failure;
    }

    if (lock) removeLeftovers(target, path + ".lock", timing.stale);
    struct stat st {};
    if (stat(target.c_str(), &st) != 0) {
        if (errno != ENOENT) return systemFailure();
        if (!lock) return std::get<FileFailure>(taken);
        auto outcome = replaceFile(target, nullptr, -1, edit(QByteArray()), lock);
        if (auto* failure = std::get_if<FileFailure>(&outcome)) return *failure;
        return std::nullopt;
    }
    if (auto failure = notARegularFile(st)) return failure;
    // A file this user may not write stays as it is, though the folder would let it be replaced.
    const Descriptor file(open(target.c_str(), O_RDWR | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (!file) return systemFailure();
    if (fstat(file.get(), &st) != 0) return systemFailure();
    auto read = readAll(file.get(), st);
    if (auto* failure = std::get_if<FileFailure>(&read)) return *failure;
    const QByteArray& old = std::get<QByteArray>(read);
    const QByteArray data = edit(old);
    if (data == old) return std::nullopt;

    const bool inPlace = !lock || st.st_nlink > 1;
    if (!inPlace) {
        auto outcome = replaceFile(target, &st, file.get(), data, lock);
        if (auto* failure = std::get_if<FileFailure>(&outcome)) return *failure;
        if (std::get<Replaced>(outcome) == Replaced::Done) return std::nullopt;
    }
    if (!lock) {
        if (auto failure = lockInPlace(file.get(), timing)) return failure;
        // Read again under the lock: another copy may have written in between.
        auto again = readAll(file.get(), st);
        if (auto* failure = std::get_if<FileFailure>(&again)) return *failure;
        const QByteArray& current = std::get<QByteArray>(again);
        return rewriteInPlace(file.get(), current, edit(current));
    }
    if (!lock->StillHeld()) return lockBroken();
    return rewriteInPlace(file.get(), old, data);
}

} // namespace

std::variant<std::optional<QByteArray>, FileFailure> ReadStoreFile(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT) return std::optional<QByteArray>();
        return systemFailure();
    }
    // Checked before opening: opening a FIFO or a device could block or act on the device.
    if (auto failure = notARegularFile(st)) return *failure;
    const Descriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file)
        return errno == ENOENT ? std::variant<std::optional<QByteArray>, FileFailure>(std::nullopt)
                               : systemFailure();
    if (fstat(file.get(), &st) != 0) return systemFailure();
    auto read = readAll(file.get(), st);
    if (auto* failure = std::get_if<FileFailure>(&read)) return *failure;
    return std::optional(std::get<QByteArray>(std::move(read)));
}

std::optional<FileFailure> EditStoreFile(const std::string& path,
                                         const std::function<QByteArray(const QByteArray&)>& edit,
                                         FileLock::Timing timing) {
    if (auto failure = makeFolders(folderOf(path))) return failure;
    auto followed = followLinks(path);
    if (auto* failure = std::get_if<FileFailure>(&followed)) return *failure;
    const std::string& target = std::get<std::string>(followed);
    for (int attempt = 0;; ++attempt) {
        auto failure = editOnce(path, target, edit, timing);
        if (!failure || failure->error != ENOLCK || attempt == 2) return failure;
    }
}

} // namespace tallix
