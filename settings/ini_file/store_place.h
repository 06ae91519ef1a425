#pragma once

#include "settings/ini_file/file_basics.h"

#include <string>
#include <variant>

#include <sys/stat.h>

namespace tallix {

// Where the settings file is: the folder that holds it, open, and its name there. Everything after
// finding it goes through the folder's descriptor, so no folder can be swapped in between checks.
struct StorePlace {
    Descriptor folder;
    struct stat folderStat {};
    std::string name;
};

// The place of the file at `path`; the file need not exist. The path is walked one name at a time, each
// folder opened from its parent's descriptor without following a link, so nothing on the way can be
// swapped for a link between two steps. A symbolic link on the way, or in the file's own place, is
// followed only where the kernel's own rule for links would follow it (the link is this user's or the
// folder owner's, or its folder is not a sticky world-writable one) and, for root, only a link of root's
// in a folder no other user can write: a link another user could have planted is a failure. With
// `makeFolders`, missing folders on the way are made, the user's own as any program's.
std::variant<StorePlace, FileFailure> FindStoreFile(const std::string& path, bool makeFolders);

// Why the file `file` in the place must not be written, or nothing: a hard link root doesn't own or finds
// in a folder others may write, a hard link or another user's file in a sticky world-writable folder,
// where others can plant them.
std::optional<FileFailure> WriteRefused(const StorePlace& place, const struct stat& file);

} // namespace tallix
