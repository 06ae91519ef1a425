#pragma once

#include "settings/ini_file/file_lock.h"

#include <QByteArray>

#include <functional>
#include <optional>
#include <string>
#include <variant>

namespace tallix {

// A settings file larger than this is not read: nothing the program writes comes near it.
inline constexpr long long kMaxStoreFileSize = 1 << 20;

// The bytes of the settings file at `path`, or nothing when there is no file. Anything else at the path
// (a folder, a FIFO, a device), a link another user could have planted, a file over kMaxStoreFileSize
// or one that can't be read is a failure; reading never blocks on what it finds there.
std::variant<std::optional<QByteArray>, FileFailure> ReadStoreFile(const std::string& path);

// Replaces the settings file's bytes with `edit` of them (of nothing when there is no file yet), under
// the lock that copies of the program share, reading the file afresh under it. Every write is checked
// and flushed to disk before the save counts as done, and a process killed at any moment leaves the old
// file or the new one: on any failure (a full disk, say) the file stays as it was. The file keeps its
// owner, group, mode, ACL and extended attributes, and a link stays a link; where a new file can't be given
// all of them, or can't take the old one's place (another user's file, a hard link, a folder this user
// can't write, a file mounted where it stands), the file is rewritten in place instead, in one write
// that never makes it shorter. `wholeAnew` writes and syncs every byte even when the edit changes nothing:
// after a failed save the system's cache may hold bytes that never reached the disk.
std::optional<FileFailure> EditStoreFile(const std::string& path,
                                         const std::function<QByteArray(const QByteArray&)>& edit,
                                         bool wholeAnew = false);

} // namespace tallix
