#include "platform/file_calls.h"

#include <cerrno>

#ifdef __linux__
#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace tallix {
namespace {

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

} // namespace

bool CopyExtendedAttributes(int from, int to) {
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
    return true;
}

bool ReserveRoom(int fd, off_t size) {
    return fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size) == 0 || errno == EOPNOTSUPP || errno == ENOSYS;
}

} // namespace tallix
#else
namespace tallix {

bool CopyExtendedAttributes(int, int) {
    return true;
}

bool ReserveRoom(int, off_t) {
    return true;
}

} // namespace tallix
#endif
