#pragma once

#include "engine/memory_ports.h"
#include "settings/settings_store.h"

namespace tallix {

// The calculator's memory in the settings store: its number under MemoryValue, and FrstMmery "Yes" until
// the first-use tip has been shown.
class SettingsMemoryStorage : public MemoryStorage {
public:
    explicit SettingsMemoryStorage(SettingsStore& store)
        : store_(store) {}

    std::string StoredText() override;
    void Store(std::string_view text) override;
    bool TipWanted() override;
    void TipShown() override;

private:
    SettingsStore& store_;
};

} // namespace tallix
