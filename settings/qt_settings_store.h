#pragma once

#include "settings/settings_store.h"
#include "settings/store_backend.h"

#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>

namespace tallix {

// The platform's per-user settings (StoreBackend says where they live). Every call reads the store afresh
// and every write goes to disk at once, so a second running copy sees it and the last writer wins.
//
// Nothing here fails loudly. A store that can't be read gives every caller its default. A write that
// can't be saved is kept by this object, so the rest of the run still reads it, and is saved again with
// the next write and when the run ends (Flush). Each failure prints one line on `errors` (a store that
// can't be read, once per run) and goes to the problem handler.
class QtSettingsStore : public SettingsStore {
public:
    explicit QtSettingsStore(std::ostream& errors = std::cerr);
    ~QtSettingsStore() override;

    std::string GetSetting(std::string_view appName, std::string_view section, std::string_view key,
                           std::string_view fallback) override;
    void SaveSetting(std::string_view appName, std::string_view section, std::string_view key,
                     std::string_view value) override;
    // Saves what could not be saved yet; what still can't be is told and forgotten: the run is over.
    void Flush() override;
    void SetProblemHandler(std::function<void(const StoreProblem&)> handler) override {
        onProblem_ = std::move(handler);
    }

    // The text that the store itself holds under the address, read as GetSetting reads it, or nothing
    // when nothing is stored there (or the store can't be read). Writes that could not be saved are not
    // in the store, so unlike GetSetting this ignores them.
    static std::optional<std::string> Stored(std::string_view appName, std::string_view section,
                                             std::string_view key);
    // An outside edit of the store itself: writes `value` under the address (an empty text is a value),
    // or removes what is stored there when there is no value, and keeps everything else as it stands.
    // Returns whether the change reached the store; when it didn't, nothing is kept or reported.
    static bool Edit(std::string_view appName, std::string_view section, std::string_view key,
                     std::optional<std::string_view> value);

private:
    using Address = std::tuple<std::string, std::string, std::string>; // application, section, key

    // Saves every unsaved value of the application; the reason when that failed.
    std::optional<std::string> saveUnsaved(const std::string& appName);
    void tell(const StoreProblem& problem, std::string_view line);

    std::ostream& errors_;
    std::unique_ptr<StoreBackend> backend_;
    std::function<void(const StoreProblem&)> onProblem_;
    std::map<Address, std::string> unsaved_; // writes that could not be saved yet, by address
    bool readFailureTold_ = false;
};

} // namespace tallix
