#pragma once

#include "settings/settings.h"
#include "settings/settings_store.h"

#include <map>
#include <string>
#include <string_view>
#include <tuple>

namespace tallix {

// A settings store kept in memory, for runs that must never touch the user's settings (the window tests,
// the screenshot tool): it starts empty, as on a first run.
class FakeSettingsStore : public SettingsStore {
public:
    std::string GetSetting(std::string_view appName, std::string_view section, std::string_view key,
                           std::string_view fallback) override {
        const auto it = values_.find(Address(appName, section, key));
        return it == values_.end() ? std::string(fallback) : it->second;
    }
    void SaveSettings(std::string_view appName, std::string_view section,
                      std::span<const KeyText> texts) override {
        for (const KeyText& text : texts)
            values_[Address(appName, section, text.key)] = std::string(text.text);
    }

    // Puts a text in place as if an earlier run (or an outside edit) had stored it.
    void Seed(std::string_view key, std::string_view text) {
        values_[Address(kAppName, kSection, key)] = std::string(text);
    }

private:
    using Address = std::tuple<std::string, std::string, std::string>; // application, section, key

    std::map<Address, std::string> values_;
};

} // namespace tallix
