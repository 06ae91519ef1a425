#pragma once

#include <sys/types.h>

namespace tallix {

// The settings file's calls that only Linux has; elsewhere each does without: no extended attributes
// to carry over, no room reserved ahead, no new files without a name.

// Gives `to` exactly the extended attributes of `from`, the access control list among them (one that
// `to` inherited from its folder goes). False when that can't be done.
bool CopyExtendedAttributes(int from, int to);

// Reserves room for the file's first `size` bytes without changing its size, so that a full disk shows
// before a byte is overwritten. False, with errno set, when there is no room; true where the filesystem
// reserves nothing.
bool ReserveRoom(int fd, off_t size);

// A new file in `folder` that has no name yet (O_TMPFILE), opened with `flags`; -1 with errno set where
// there is none (EOPNOTSUPP, EISDIR or EINVAL when the system or the filesystem can't make one).
int OpenUnnamedFile(int folder, int flags);

// Gives a file opened by OpenUnnamedFile the name `name` in `folder`. False, with errno set, when it
// can't (EEXIST when the name is taken).
bool NameUnnamedFile(int fd, int folder, const char* name);

} // namespace tallix
