#pragma once

#include <sys/types.h>

namespace tallix {

// The settings file's calls that only Linux has; elsewhere each does without: no extended attributes
// to carry over, no room reserved ahead.

// Gives `to` exactly the extended attributes of `from`, the access control list among them (one that
// `to` inherited from its folder goes). False when that can't be done.
bool CopyExtendedAttributes(int from, int to);

// Reserves room for the file's first `size` bytes without changing its size, so that a full disk shows
// before a byte is overwritten. False, with errno set, when there is no room; true where the filesystem
// reserves nothing.
bool ReserveRoom(int fd, off_t size);

} // namespace tallix
