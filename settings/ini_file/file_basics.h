#pragma once

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace tallix {

// Why something on the file system failed: the system's error number (0 when none applies) and the
// reason in words, as the user is told it.
struct FileFailure {
    int error = 0;
    std::string reason;
};

inline FileFailure SystemFailure(int error = errno) {
    return {error, std::strerror(error)};
}

// Only a regular file can be the settings file; anything else is never opened.
inline std::optional<FileFailure> NotARegularFile(const struct stat& st) {
    if (S_ISREG(st.st_mode)) return std::nullopt;
    return FileFailure{EINVAL,
                       S_ISDIR(st.st_mode) ? "It is a folder, not a file" : "It is not a regular file"};
}

// An open file or folder, closed when it goes.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd)
        : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept
        : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) close(fd_);
    }
    int Get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

} // namespace tallix
