#pragma once

#include "settings/settings_store.h"

#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>

namespace tallix {

// The platform's per-user settings: the registry on Windows and a property list on macOS, through
// QSettings; elsewhere the text file $XDG_CONFIG_HOME/<appName>.conf in Qt's format, read and written
// here line by line so that hand-edited texts survive. Every call opens the store afresh and every write
// is flushed at once, so a second running copy sees it and the last writer wins.
//
// Nothing here ever fails loudly. A store that can't be read gives every caller its default. A write
// that can't be saved prints one line on `errors` and is kept by this object, so the rest of the run
// still reads what it wrote; the program therefore uses one store for the whole run.
class QtSettingsStore : public SettingsStore {
public:
    explicit QtSettingsStore(std::ostream& errors = std::cerr)
        : errors_(errors) {}

    std::string GetSetting(std::string_view appName, std::string_view section, std::string_view key,
                           std::string_view fallback) override;
    void SaveSetting(std::string_view appName, std::string_view section, std::string_view key,
                     std::string_view value) override;

    // The text that the store itself holds under the address, read as GetSetting reads it, or nothing
    // when nothing is stored there (or the store can't be read). Writes that could not be saved are not
    // in the store, so unlike GetSetting this ignores them.
    static std::optional<std::string> Stored(std::string_view appName, std::string_view section,
                                             std::string_view key);
    // An outside edit of the store itself: writes `value` under the address (an empty text is a value),
    // or removes what is stored there when there is no value, and keeps every other text as it stands.
    // Returns whether the change reached the store; when it didn't, nothing is kept or reported (SaveSetting
    // builds on this).
    static bool Edit(std::string_view appName, std::string_view section, std::string_view key,
                     std::optional<std::string_view> value);

private:
    using Address = std::tuple<std::string, std::string, std::string>; // application, section, key

    std::ostream& errors_;
    std::map<Address, std::string> unsaved_; // writes that could not be saved, by address
};

} // namespace tallix
