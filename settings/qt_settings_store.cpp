#include "settings/qt_settings_store.h"

#include <utility>
#include <vector>

namespace tallix {

QtSettingsStore::QtSettingsStore(std::ostream& errors)
    : errors_(errors)
    , backend_(MakeStoreBackend()) {}

QtSettingsStore::~QtSettingsStore() = default;

std::string QtSettingsStore::GetSetting(std::string_view appName, std::string_view section,
                                        std::string_view key, std::string_view fallback) {
    if (const auto it = unsaved_.find(Address(appName, section, key)); it != unsaved_.end())
        return it->second;
    const auto read = backend_->Read(appName, section, key);
    if (const auto* failure = std::get_if<ReadFailure>(&read)) {
        if (!std::exchange(readFailureTold_, true)) {
            const std::string where = backend_->Where(appName);
            tell({where, failure->reason, false},
                 "tallix: could not read settings from " + where + ": " + failure->reason);
        }
        return std::string(fallback);
    }
    return std::get<std::optional<std::string>>(read).value_or(std::string(fallback));
}

std::optional<std::string> QtSettingsStore::Stored(std::string_view appName, std::string_view section,
                                                   std::string_view key) {
    const auto read = MakeStoreBackend()->Read(appName, section, key);
    const auto* text = std::get_if<std::optional<std::string>>(&read);
    return text ? *text : std::nullopt;
}

void QtSettingsStore::SaveSetting(std::string_view appName, std::string_view section, std::string_view key,
                                  std::string_view value) {
    unsaved_[Address(appName, section, key)] = std::string(value);
    const std::string application(appName);
    if (const auto failure = saveUnsaved(application)) {
        const std::string where = backend_->Where(appName);
        tell({where, *failure, true},
             "tallix: could not save setting " + std::string(key) + " to " + where + ": " + *failure);
    }
}

void QtSettingsStore::Flush() {
    std::vector<std::string> applications;
    for (const auto& [address, value] : unsaved_)
        if (applications.empty() || applications.back() != std::get<0>(address))
            applications.push_back(std::get<0>(address));
    for (const std::string& application : applications) {
        const auto failure = saveUnsaved(application);
        if (!failure) continue;
        const std::string where = backend_->Where(application);
        for (const auto& [address, value] : unsaved_)
            if (std::get<0>(address) == application)
                tell({where, *failure, true}, "tallix: could not save setting " + std::get<2>(address) +
                                                  " to " + where + ": " + *failure);
    }
    unsaved_.clear();
    readFailureTold_ = false;
}

std::optional<std::string> QtSettingsStore::saveUnsaved(const std::string& appName) {
    std::vector<KeyChange> changes;
    for (const auto& [address, value] : unsaved_)
        if (std::get<0>(address) == appName)
            changes.push_back({std::get<1>(address), std::get<2>(address), value});
    if (auto failure = backend_->Write(appName, changes)) return failure;
    std::erase_if(unsaved_, [&](const auto& entry) { return std::get<0>(entry.first) == appName; });
    return std::nullopt;
}

bool QtSettingsStore::Edit(std::string_view appName, std::string_view section, std::string_view key,
                           std::optional<std::string_view> value) {
    return !MakeStoreBackend()->Write(appName, {{std::string(section), std::string(key),
                                                 value ? std::optional<std::string>(*value) : std::nullopt}});
}

void QtSettingsStore::tell(const StoreProblem& problem, std::string_view line) {
    errors_ << line << '\n' << std::flush;
    if (onProblem_) onProblem_(problem);
}

} // namespace tallix
