#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tallix {

// A change of one key: its new text, or nothing to remove it.
struct KeyChange {
    std::string section;
    std::string key;
    std::optional<std::string> value;
};

// Why the store could not be read, in words.
struct ReadFailure {
    std::string reason;
};

// Where the per-user settings live and how they are read and written: the text file
// $XDG_CONFIG_HOME/<appName>.conf on the freedesktop systems, edited line by line by the program itself;
// QSettings' native store elsewhere (the registry on Windows, a property list on macOS). Every call
// reads or writes the store afresh.
class StoreBackend {
public:
    virtual ~StoreBackend() = default;
    // Where the application's settings live, as the user is told it.
    virtual std::string Where(std::string_view appName) const = 0;
    // The text stored under the address, or nothing; the reason when the store can't be read.
    virtual std::variant<std::optional<std::string>, ReadFailure>
    Read(std::string_view appName, std::string_view section, std::string_view key) const = 0;
    // Stores the changes; the reason when that failed.
    virtual std::optional<std::string> Write(std::string_view appName,
                                             const std::vector<KeyChange>& changes) const = 0;
};

// The platform's store. Which one is chosen by the build, in settings/CMakeLists.txt, alone.
std::unique_ptr<StoreBackend> MakeStoreBackend();

} // namespace tallix
