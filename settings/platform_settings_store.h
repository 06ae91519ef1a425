#pragma once

#include "settings/settings_store.h"
#include "settings/settings_writer.h"
#include "settings/store_backend.h"

#include <QObject>

#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tallix {

// The platform's per-user settings (StoreBackend says where they live). Every read reads the store
// afresh, so a second running copy's saves are seen. Saves are handed to the process's one writer and
// made beside the caller, which never waits for them; until a change is saved, this store's reads see it,
// unless another copy saves the key in the meantime.
//
// Nothing here fails loudly. A store that can't be read gives every caller its default. A save that
// fails is kept and tried again with the next change and when the run ends (Flush). Each failure prints
// one line a key on `errors` (a store that can't be read, once a run) and goes to the problem handler.
class PlatformSettingsStore : public SettingsStore {
public:
    explicit PlatformSettingsStore(std::ostream& errors = std::cerr);
    explicit PlatformSettingsStore(std::unique_ptr<StoreBackend> backend, std::ostream& errors = std::cerr);
    ~PlatformSettingsStore() override;

    std::string GetSetting(std::string_view appName, std::string_view section, std::string_view key,
                           std::string_view fallback) override;
    void SaveSettings(std::string_view appName, std::string_view section,
                      std::span<const KeyText> texts) override;
    // Tries once more what is not saved yet; what still can't be is told and forgotten: the run is over.
    void Flush() override;
    void SetProblemHandler(std::function<void(const StoreProblem&)> handler) override {
        onProblem_ = std::move(handler);
    }

    // Returns once every change made so far has been tried, and the writer is not trying again.
    void WaitUntilTried() { writer_.WaitUntilTried(); }

private:
    // What the store holds under the keys; nothing when it can't be read, which is told once a run.
    std::optional<std::vector<StoredValue>> read(std::string_view appName, std::string_view section,
                                                 std::span<const std::string_view> keys);
    void print(const std::string& line);
    void printUnsaved(const SaveFailure& failure);

    std::ostream& errors_;
    std::mutex printing_; // lines come from the writer's thread too
    std::unique_ptr<StoreBackend> backend_;
    QObject home_; // on the thread that made the store: problems are told there
    std::function<void(const StoreProblem&)> onProblem_;
    bool readFailureTold_ = false;
    SettingsWriter writer_; // last: its thread stops before the rest goes
};

} // namespace tallix
