#include "settings/ini_file/store_file.h"

#include "platform/end_at_once.h"
#include "platform/file_calls.h"

#include <algorithm>
#include <cerrno>
#include <random>
#include <string>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tallix {
namespace {

FileFailure tooLarge() {
    return {EFBIG, "It is larger than " + std::to_string(kMaxStoreFileSize >> 10) + " KiB"};
}

// Reads the whole of an open regular file, checking its kind and size first.
std::variant<QByteArray, FileFailure> readAll(int fd, const struct stat& st) {
    if (auto failure = NotARegularFile(st)) return *failure;
    if (st.st_size > kMaxStoreFileSize) return tooLarge();
    QByteArray data(qsizetype(st.st_size) + 1, Qt::Uninitialized);
    qsizetype size = 0;
    for (;;) {
        const ssize_t got = pread(fd, data.data() + size, std::size_t(data.size() - size), size);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return SystemFailure();
        if (got == 0) break;
        size += got;
        if (size > kMaxStoreFileSize) return tooLarge();
        if (size == data.size()) data.resize(std::min<qsizetype>(data.size() * 2, kMaxStoreFileSize + 1));
    }
    data.truncate(size);
    return data;
}

std::optional<FileFailure> writeAll(int fd, QByteArrayView bytes, off_t offset) {
    while (!bytes.isEmpty()) {
        const ssize_t put = pwrite(fd, bytes.data(), std::size_t(bytes.size()), offset);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return SystemFailure(put < 0 ? errno : ENOSPC);
        bytes = bytes.sliced(put);
        offset += put;
    }
    return std::nullopt;
}

// A folder's fsync: what makes a rename or a new name in it last. Filesystems that can't sync a folder
// say EINVAL; their names are as lasting as they get.
std::optional<FileFailure> syncFolder(int folder) {
    if (fsync(folder) != 0 && errno != EINVAL) return SystemFailure();
    return std::nullopt;
}

// New files that are not yet in the settings file's place go by one name, ".<file>.tallix-new-" and
// kNameLetters letters or digits: nothing else makes such a name, so the clean-up removes nothing of the
// user's. With 36^6 names, a hundred taken in a row means something else is wrong.
constexpr std::string_view kNewMark = ".tallix-new-";
constexpr std::string_view kNameAlphabet = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kNameLetters = 6;
constexpr int kNewNameTries = 100;

std::string newFileName(const std::string& file) {
    static std::mt19937 random(std::random_device{}());
    std::string name = '.' + file + std::string(kNewMark);
    for (std::size_t i = 0; i < kNameLetters; ++i)
        name += kNameAlphabet[random() % kNameAlphabet.size()];
    return name;
}

bool isNewFileName(std::string_view name, const std::string& file) {
    const std::string prefix = '.' + file + std::string(kNewMark);
    return name.size() == prefix.size() + kNameLetters && name.starts_with(prefix) &&
           name.find_first_not_of(kNameAlphabet, prefix.size()) == std::string_view::npos;
}

// Removes new files that copies killed in the middle of a save left behind. Only under the lock, when no
// live copy can be making one.
void removeLeftovers(const StorePlace& place, const struct stat& file) {
    const int listing = fcntl(place.folder.Get(), F_DUPFD_CLOEXEC, 0);
    DIR* entries = listing < 0 ? nullptr : fdopendir(listing);
    if (!entries) {
        if (listing >= 0) close(listing);
        return;
    }
    rewinddir(entries);
    while (const dirent* entry = readdir(entries)) {
        struct stat st {};
        if (isNewFileName(entry->d_name, place.name) &&
            fstatat(place.folder.Get(), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode) && st.st_nlink == 1 && (st.st_uid == geteuid() || st.st_uid == file.st_uid))
            unlinkat(place.folder.Get(), entry->d_name, 0);
    }
    closedir(entries);
}

// A new file beside the settings file, under a name of its own.
struct NewFile {
    Descriptor file;
    std::string name;
};

std::variant<NewFile, FileFailure> makeNewFile(const StorePlace& place) {
    for (int tries = 0; tries < kNewNameTries; ++tries) {
        NewFile made{{}, newFileName(place.name)};
        made.file = Descriptor(openat(place.folder.Get(), made.name.c_str(),
                                      O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600));
        if (made.file) return made;
        if (errno != EEXIST) return SystemFailure();
    }
    return SystemFailure(EEXIST);
}

enum class Replaced {
    Done,
    InPlaceNeeded
};

bool anyOf(int error, std::initializer_list<int> errors) {
    return std::find(errors.begin(), errors.end(), error) != errors.end();
}

// Writes the new bytes to a new file beside the old one, gives it the old one's owner, attributes and
// mode, flushes it, and puts it in the old one's place.
std::variant<Replaced, FileFailure> replaceFile(const StorePlace& place, const LockedFile& old,
                                                const QByteArray& data) {
    auto made = makeNewFile(place);
    if (auto* failure = std::get_if<FileFailure>(&made))
        return anyOf(failure->error, {EACCES, EPERM, EROFS})
                   ? std::variant<Replaced, FileFailure>(Replaced::InPlaceNeeded)
                   : *failure;
    NewFile& file = std::get<NewFile>(made);
    const int fd = file.file.Get();
    const auto discard = [&](std::variant<Replaced, FileFailure> outcome) {
        unlinkat(place.folder.Get(), file.name.c_str(), 0);
        return outcome;
    };
    if (auto failure = writeAll(fd, data, 0)) return discard(*failure);
    const bool owned = old.st.st_uid == geteuid() && old.st.st_gid == getegid();
    if ((!owned && fchown(fd, old.st.st_uid, old.st.st_gid) != 0) ||
        !CopyExtendedAttributes(old.file.Get(), fd) || fchmod(fd, old.st.st_mode & 07777) != 0)
        return discard(Replaced::InPlaceNeeded);
    if (fsync(fd) != 0) return discard(SystemFailure());
    if (renameat(place.folder.Get(), file.name.c_str(), place.folder.Get(), place.name.c_str()) != 0) {
        // A file mounted where it stands, or a link across filesystems, can only be rewritten.
        if (anyOf(errno, {EBUSY, EXDEV})) return discard(Replaced::InPlaceNeeded);
        return discard(SystemFailure());
    }
    if (auto failure = syncFolder(place.folder.Get())) return *failure;
    return Replaced::Done;
}

// Rewrites the file where it is, in one write from the first byte that changes (from the first of all
// when `whole`). A shorter text is padded to the old length with line breaks, which every reader skips, so
// the file never gets shorter: a process killed at any moment leaves the old bytes or the new ones, never
// the new text followed by the old one's end. Room for a longer file is taken first, and a write that fails
// puts the old bytes back, so a full disk leaves the file as it was.
std::optional<FileFailure> rewriteInPlace(int fd, const QByteArray& old, QByteArray data, bool whole) {
    const HoldEndAtOnce hold; // a write cut short would leave a mix
    if (data.size() < old.size()) data.append(old.size() - data.size(), '\n');
    qsizetype first = 0;
    while (!whole && first < old.size() && old[first] == data[first])
        ++first;
    if (data.size() > old.size() && !ReserveRoom(fd, data.size())) return SystemFailure();
    if (auto failure = writeAll(fd, QByteArrayView(data).sliced(first), first)) {
        writeAll(fd, QByteArrayView(old).sliced(first), first);
        static_cast<void>(ftruncate(fd, old.size()));
        return failure;
    }
    if (fsync(fd) != 0) return SystemFailure();
    return std::nullopt;
}

std::optional<FileFailure> editLocked(const StorePlace& place, const LockedFile& locked,
                                      const std::function<QByteArray(const QByteArray&)>& edit,
                                      bool wholeAnew) {
    if (auto refused = WriteRefused(place, locked.st)) return refused;
    auto read = readAll(locked.file.Get(), locked.st);
    if (auto* failure = std::get_if<FileFailure>(&read)) return *failure;
    const QByteArray& old = std::get<QByteArray>(read);
    const QByteArray data = edit(old);
    if (data == old && !wholeAnew) return std::nullopt;
    removeLeftovers(place, locked.st);
    if (locked.st.st_nlink == 1) { // a hard link stays one: every name must see the change
        auto replaced = replaceFile(place, locked, data);
        if (auto* failure = std::get_if<FileFailure>(&replaced)) return *failure;
        if (std::get<Replaced>(replaced) == Replaced::Done) return std::nullopt;
    }
    return rewriteInPlace(locked.file.Get(), old, data, wholeAnew);
}

} // namespace

std::variant<std::optional<QByteArray>, FileFailure> ReadStoreFile(const std::string& path) {
    using Read = std::variant<std::optional<QByteArray>, FileFailure>;
    auto found = FindStoreFile(path, false);
    if (auto* failure = std::get_if<FileFailure>(&found))
        return failure->error == ENOENT ? Read(std::nullopt) : *failure;
    const StorePlace& place = std::get<StorePlace>(found);
    struct stat st {};
    if (fstatat(place.folder.Get(), place.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT ? Read(std::nullopt) : SystemFailure();
    // Checked before opening: opening a FIFO or a device could block or act on it.
    if (auto failure = NotARegularFile(st)) return *failure;
    const Descriptor file(openat(place.folder.Get(), place.name.c_str(),
                                 O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
    if (!file) return errno == ENOENT ? Read(std::nullopt) : SystemFailure();
    if (fstat(file.Get(), &st) != 0) return SystemFailure();
    auto read = readAll(file.Get(), st);
    if (auto* failure = std::get_if<FileFailure>(&read)) return *failure;
    return std::optional(std::get<QByteArray>(std::move(read)));
}

std::optional<FileFailure> EditStoreFile(const std::string& path,
                                         const std::function<QByteArray(const QByteArray&)>& edit,
                                         bool wholeAnew) {
    auto found = FindStoreFile(path, true);
    if (auto* failure = std::get_if<FileFailure>(&found)) return *failure;
    const StorePlace& place = std::get<StorePlace>(found);
    auto locked = LockStoreFile(place);
    if (auto* failure = std::get_if<FileFailure>(&locked)) return *failure;
    const LockedFile& file = std::get<LockedFile>(locked);
    auto failure = editLocked(place, file, edit, wholeAnew);
    // A file made only to be locked goes again when nothing could be written into it.
    struct stat now {};
    if (file.created && fstat(file.file.Get(), &now) == 0 && now.st_size == 0 && now.st_nlink > 0)
        unlinkat(place.folder.Get(), place.name.c_str(), 0);
    return failure;
}

} // namespace tallix
