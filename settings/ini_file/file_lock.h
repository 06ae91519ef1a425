#pragma once

#include "settings/ini_file/store_place.h"

#include <variant>

namespace tallix {

// The settings file, open for reading and writing and locked against every other copy of the program.
// The lock is an flock of the file itself: the kernel ends it with its holder, so a copy that died
// never blocks anyone and a live one, however slow, is never overtaken; and every writer meets on it,
// whether it replaces the file or rewrites it in place. (QLockFile breaks a lock by its age, and
// QSaveFile's new file loses the old one's owner, attributes and links.)
struct LockedFile {
    Descriptor file;
    struct stat st {};
    bool created = false; // made empty by this lock, where there was no file
};

// Opens and locks the file at the place, making an empty one where there is none, and waits in short
// steps while another copy holds it, for five seconds at most: then it fails, saying that another program
// holds the file. Anything but a regular file there is a failure; it is never opened.
std::variant<LockedFile, FileFailure> LockStoreFile(const StorePlace& place);

} // namespace tallix
