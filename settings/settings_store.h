#pragma once

#include <string>
#include <string_view>

namespace tallix {

// The per-user store of named text values. Every value lives under an application name, a section and
// a key. Reads never fail: when nothing usable is stored the caller's default comes back.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string GetSetting(std::string_view appName, std::string_view section, std::string_view key,
                                   std::string_view fallback) = 0;
    virtual void SaveSetting(std::string_view appName, std::string_view section, std::string_view key,
                             std::string_view value) = 0;
};

} // namespace tallix
