#include "settings/platform_settings_store.h"

#include <utility>

namespace tallix {

PlatformSettingsStore::PlatformSettingsStore(std::ostream& errors)
    : PlatformSettingsStore(MakeStoreBackend(), errors) {}

PlatformSettingsStore::PlatformSettingsStore(std::unique_ptr<StoreBackend> backend, std::ostream& errors)
    : errors_(errors)
    , backend_(std::move(backend))
    , writer_(*backend_, [this](const SaveFailure& failure) {
        printUnsaved(failure);
        StoreProblem problem{failure.where, failure.reason, true};
        QMetaObject::invokeMethod(
            &home_,
            [this, problem] {
                if (onProblem_) onProblem_(problem);
            },
            Qt::QueuedConnection);
    }) {}

PlatformSettingsStore::~PlatformSettingsStore() = default;

std::string PlatformSettingsStore::GetSetting(std::string_view appName, std::string_view section,
                                              std::string_view key, std::string_view fallback) {
    const SettingAddress address(appName, section, key);
    for (;;) {
        // Read again when one of this process's saves ended meanwhile: the change it saved is no longer
        // unsaved, and the store may have been read before it was written.
        const std::uint64_t readAfter = writer_.SavesEnded();
        const auto stored = read(appName, section, {&key, 1});
        const std::optional<StoredValue> value = stored ? std::optional(stored->front()) : std::nullopt;
        if (auto unsaved = writer_.Unsaved(address, value)) return *unsaved;
        if (writer_.SavesEnded() == readAfter) return value && *value ? **value : std::string(fallback);
    }
}

void PlatformSettingsStore::SaveSettings(std::string_view appName, std::string_view section,
                                         std::span<const KeyText> texts) {
    std::vector<std::string_view> keys;
    for (const KeyText& text : texts)
        keys.push_back(text.key);
    // What each key held when it changed, so that the writer never saves over a newer text of another copy.
    for (;;) {
        const std::uint64_t readAfter = writer_.SavesEnded();
        const auto stored = read(appName, section, keys);
        std::vector<KeyChange> changes;
        for (std::size_t i = 0; i < texts.size(); ++i)
            changes.push_back({std::string(section), std::string(texts[i].key), std::string(texts[i].text),
                               stored ? std::optional((*stored)[i]) : std::nullopt});
        if (writer_.Hand(appName, std::move(changes), readAfter)) return;
    }
}

void PlatformSettingsStore::Flush() {
    for (const SaveFailure& failure : writer_.Finish())
        printUnsaved(failure);
    readFailureTold_ = false;
}

std::optional<std::vector<StoredValue>> PlatformSettingsStore::read(std::string_view appName,
                                                                    std::string_view section,
                                                                    std::span<const std::string_view> keys) {
    auto read = backend_->Read(appName, section, keys);
    if (auto* values = std::get_if<std::vector<StoredValue>>(&read)) return std::move(*values);
    if (!std::exchange(readFailureTold_, true)) {
        const StoreProblem problem{backend_->Where(appName), std::get<ReadFailure>(read).reason, false};
        print("tallix: could not read settings from " + problem.where + ": " + problem.reason);
        if (onProblem_) onProblem_(problem);
    }
    return std::nullopt;
}

void PlatformSettingsStore::print(const std::string& line) {
    const std::lock_guard lock(printing_);
    errors_ << line << '\n' << std::flush;
}

void PlatformSettingsStore::printUnsaved(const SaveFailure& failure) {
    for (const std::string& key : failure.keys)
        print("tallix: could not save setting " + key + " to " + failure.where + ": " + failure.reason);
}

} // namespace tallix
