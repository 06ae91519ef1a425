#include "settings/ini_file/store_place.h"

#include <cerrno>
#include <climits>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace tallix {
namespace {

// Links followed and folders made on the way to the file: as many links as the kernel follows in one
// path, and enough for a home that doesn't exist yet. More is a loop, or someone undoing each folder made.
constexpr int kMaxDetours = 40;

// Searching a folder is all that walking through it takes; where O_PATH is missing it must be readable too.
#ifdef O_PATH
constexpr int kWalkThrough = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
#else
constexpr int kWalkThrough = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
#endif

FileFailure planted(const char* what) {
    return {EPERM, std::string("It is ") + what + " that another user could have planted"};
}

bool stickyShared(const struct stat& folder) {
    return (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
}

// Whether a user other than root may write in the folder.
bool othersMayWrite(const struct stat& folder) {
    return folder.st_uid != 0 || (folder.st_mode & S_IWOTH) ||
           ((folder.st_mode & S_IWGRP) && folder.st_gid != 0);
}

bool mayFollow(const struct stat& folder, const struct stat& link) {
    if (geteuid() == 0) return link.st_uid == 0 && !othersMayWrite(folder);
    return !stickyShared(folder) || link.st_uid == geteuid() || link.st_uid == folder.st_uid;
}

// Puts the names of `path` in front of those still to walk, which are kept in reverse, the next one last.
void putInFront(std::vector<std::string>& names, std::string_view path) {
    std::vector<std::string> ahead;
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        const std::string_view name = path.substr(start, slash - start);
        if (!name.empty() && name != ".") ahead.emplace_back(name);
        start = slash + 1;
    }
    names.insert(names.end(), ahead.rbegin(), ahead.rend());
}

} // namespace

std::variant<StorePlace, FileFailure> FindStoreFile(const std::string& path, bool makeFolders) {
    std::vector<std::string> names;
    putInFront(names, path);
    Descriptor folder(openat(AT_FDCWD, path.starts_with('/') ? "/" : ".", kWalkThrough));
    for (int detours = 0; folder && detours <= kMaxDetours;) {
        if (names.empty()) return SystemFailure(EISDIR);
        const std::string name = std::move(names.back());
        names.pop_back();
        struct stat folderStat {};
        struct stat st {};
        if (fstat(folder.Get(), &folderStat) != 0) return SystemFailure();
        const bool found = fstatat(folder.Get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
        if (!found && errno != ENOENT) return SystemFailure();
        if (found && S_ISLNK(st.st_mode)) {
            if (!mayFollow(folderStat, st)) return planted("a link");
            char target[PATH_MAX];
            const ssize_t size = readlinkat(folder.Get(), name.c_str(), target, sizeof target);
            if (size <= 0 || size == ssize_t(sizeof target))
                return SystemFailure(size < 0 ? errno : ENAMETOOLONG);
            const std::string_view link(target, std::size_t(size));
            putInFront(names, link);
            if (link.starts_with('/')) folder = Descriptor(openat(AT_FDCWD, "/", kWalkThrough));
            ++detours;
        } else if (names.empty()) { // the file's own name
            if (name == "..") return SystemFailure(EISDIR);
            StorePlace place{Descriptor(openat(folder.Get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)),
                             folderStat, name};
            if (!place.folder) return SystemFailure();
            return place;
        } else if (!found) {
            if (!makeFolders) return SystemFailure(ENOENT);
            if (mkdirat(folder.Get(), name.c_str(), 0700) != 0 && errno != EEXIST) return SystemFailure();
            names.push_back(name); // walked into as any other folder: whatever is there now is checked
            ++detours;
        } else {
            folder = Descriptor(openat(folder.Get(), name.c_str(), kWalkThrough));
        }
    }
    return SystemFailure(folder ? ELOOP : errno);
}

std::optional<FileFailure> WriteRefused(const StorePlace& place, const struct stat& file) {
    const bool root = geteuid() == 0;
    const struct stat& folder = place.folderStat;
    if (file.st_nlink > 1 && (stickyShared(folder) || (root && (file.st_uid != 0 || othersMayWrite(folder)))))
        return planted("a hard link");
    if (stickyShared(folder) && file.st_uid != geteuid() && file.st_uid != folder.st_uid)
        return planted("another user's file");
    return std::nullopt;
}

} // namespace tallix
