#include "settings/memory_storage.h"

#include "settings/settings.h"

namespace tallix {

std::string SettingsMemoryStorage::StoredText() {
    return ReadText(store_, Setting::MemoryValue);
}

void SettingsMemoryStorage::Store(std::string_view text) {
    WriteText(store_, Setting::MemoryValue, text);
}

bool SettingsMemoryStorage::TipWanted() {
    return ReadText(store_, Setting::ShowMemoryTip) == "Yes";
}

void SettingsMemoryStorage::TipShown() {
    WriteText(store_, Setting::ShowMemoryTip, "No");
}

} // namespace tallix
