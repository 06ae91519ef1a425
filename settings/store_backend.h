#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tallix {

// A key's text in the store, or nothing when none is stored.
using StoredValue = std::optional<std::string>;

// A change of one key: its new text, or nothing to remove it.
struct KeyChange {
    std::string section;
    std::string key;
    std::optional<std::string> value;
    // What the store held under the key when the change was made. When the store holds something else by
    // the time the change is saved, another copy of the program saved the key since, and the change is
    // left out: the newer text stays. Not checked when not known.
    std::optional<StoredValue> madeOver;
};

// What became of a write.
struct WriteOutcome {
    std::optional<std::string> failure;  // why nothing was written
    bool busy = false;                   // another program kept the store locked all the while it waited
    std::vector<std::size_t> superseded; // the changes left out, by their place in the list
};

// Why the store could not be read, in words.
struct ReadFailure {
    std::string reason;
};

// Where the per-user settings live and how they are read and written: the text file
// $XDG_CONFIG_HOME/<appName>.conf on the freedesktop systems, edited line by line by the program itself;
// QSettings' native store elsewhere (the registry on Windows, a property list on macOS). Every call
// reads or writes the store afresh, and may be made from any thread.
class StoreBackend {
public:
    virtual ~StoreBackend() = default;
    // Where the application's settings live, as the user is told it.
    virtual std::string Where(std::string_view appName) const = 0;
    // The texts stored under the keys of a section, in their order; the reason when the store can't be read.
    virtual std::variant<std::vector<StoredValue>, ReadFailure>
    Read(std::string_view appName, std::string_view section,
         std::span<const std::string_view> keys) const = 0;
    // Stores the changes together. `wholeAnew` writes and syncs all of the store again, whatever it holds
    // already: after a failed save, what the system caches can't be trusted to be what reaches the disk.
    virtual WriteOutcome Write(std::string_view appName, const std::vector<KeyChange>& changes,
                               bool wholeAnew = false) const = 0;
};

// The platform's store. Which one is chosen by the build, in settings/CMakeLists.txt, alone.
std::unique_ptr<StoreBackend> MakeStoreBackend();

} // namespace tallix
