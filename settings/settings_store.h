#pragma once

#include <functional>
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

// The per-user store of named text values. Every value lives under an application name, a section and
// a key. Reads never fail: when nothing usable is stored the caller's default comes back.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string GetSetting(std::string_view appName, std::string_view section, std::string_view key,
                                   std::string_view fallback) = 0;
    virtual void SaveSetting(std::string_view appName, std::string_view section, std::string_view key,
                             std::string_view value) = 0;

    // Saves again what could not be saved so far; the program calls it when a run ends.
    virtual void Flush() {}
    // Called, at most once per problem, when the store can't be read or a save fails.
    virtual void SetProblemHandler(std::function<void(const StoreProblem&)> handler) {
        static_cast<void>(handler);
    }
};

} // namespace tallix
