#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace tallix {

// Something the store could not do, told to the user: where the settings live (a file, a registry
// key) and why they could not be read or saved.
struct StoreProblem {
    std::string where;
    std::string reason;
    bool saving = false; // false: the settings could not be read
};

// One key's new text.
struct KeyText {
    std::string_view key;
    std::string_view text;
};

// The per-user store of named text values. Every value lives under an application name, a section and
// a key. Reads never fail: when nothing usable is stored the caller's default comes back.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string GetSetting(std::string_view appName, std::string_view section, std::string_view key,
                                   std::string_view fallback) = 0;
    // Stores the texts together, as one change: what one thing the user did changed.
    virtual void SaveSettings(std::string_view appName, std::string_view section,
                              std::span<const KeyText> texts) = 0;
    void SaveSetting(std::string_view appName, std::string_view section, std::string_view key,
                     std::string_view value) {
        const KeyText text{key, value};
        SaveSettings(appName, section, {&text, 1});
    }

    // Ends a run: returns once what the run changed is saved, or could not be.
    virtual void Flush() {}
    // Called on the thread that uses the store, once for each problem as it comes up: the store can't be
    // read, or a save failed.
    virtual void SetProblemHandler(std::function<void(const StoreProblem&)> handler) {
        static_cast<void>(handler);
    }
};

} // namespace tallix
