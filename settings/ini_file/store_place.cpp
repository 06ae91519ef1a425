#include "settings/ini_file/store_place.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <unistd.h>

namespace tallix {
namespace {

FileFailure planted(const char* what) {
    return {EPERM, std::string("It is ") + what + " that another user could have planted"};
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
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

// Makes the folder and those above it where missing, each synced into its parent. Root makes them for
// the owner of the folder they are made in: a user's home stays the user's.
std::optional<FileFailure> makeFolders(const std::string& folder) {
    for (std::size_t at = 1; at <= folder.size(); ++at) {
        if (at != folder.size() && folder[at] != '/') continue;
        const std::string part = folder.substr(0, at);
        if (mkdir(part.c_str(), 0700) != 0) {
            if (errno == EEXIST) continue;
            return SystemFailure();
        }
        const Descriptor parent(open(folderOf(part).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        const Descriptor made(open(part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        struct stat owner {};
        if (!parent || !made || fstat(parent.Get(), &owner) != 0) return SystemFailure();
        if (geteuid() == 0 && fchown(made.Get(), owner.st_uid, owner.st_gid) != 0) return SystemFailure();
        if (fsync(parent.Get()) != 0 && errno != EINVAL) return SystemFailure();
    }
    return std::nullopt;
}

} // namespace

std::variant<StorePlace, FileFailure> FindStoreFile(const std::string& path, bool create) {
    std::string folder = folderOf(path);
    std::string name = path.substr(path.rfind('/') + 1);
    if (create)
        if (auto failure = makeFolders(folder)) return *failure;
    for (int hops = 0; hops < 40; ++hops) {
        StorePlace place{
            Descriptor(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOCTTY | O_CLOEXEC)), {}, name};
        if (!place.folder || fstat(place.folder.Get(), &place.folderStat) != 0) return SystemFailure();
        if (name.empty() || name == "." || name == "..") return SystemFailure(EISDIR);
        struct stat st {};
        if (fstatat(place.folder.Get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT) return place;
            return SystemFailure();
        }
        if (!S_ISLNK(st.st_mode)) return place;
        if (!mayFollow(place.folderStat, st)) return planted("a link");
        char target[PATH_MAX];
        const ssize_t size = readlinkat(place.folder.Get(), name.c_str(), target, sizeof target);
        if (size <= 0 || size == ssize_t(sizeof target))
            return SystemFailure(size < 0 ? errno : ENAMETOOLONG);
        const std::string link(target, std::size_t(size));
        const std::string next = link.starts_with('/') ? link : folder + '/' + link;
        folder = folderOf(next);
        name = next.substr(next.rfind('/') + 1);
    }
    return SystemFailure(ELOOP);
}

std::optional<FileFailure> WriteRefused(const StorePlace& place, const struct stat& file) {
    const bool root = geteuid() == 0;
    if (file.st_nlink > 1 && ((root && file.st_uid != 0) || stickyShared(place.folderStat)))
        return planted("a hard link");
    if (stickyShared(place.folderStat) && file.st_uid != geteuid() && file.st_uid != place.folderStat.st_uid)
        return planted("another user's file");
    return std::nullopt;
}

} // namespace tallix
