#pragma once

#include "settings/store_backend.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace tallix {

// Where a value lives: application, section, key.
using SettingAddress = std::tuple<std::string, std::string, std::string>;

// Changes of one application that could not be saved, and why.
struct SaveFailure {
    std::string where;
    std::vector<std::string> keys;
    std::string reason;
};

// The one writer of a process's settings, on a thread of its own, so that whoever changes a setting never
// waits for a disk, a lock or another copy of the program. It saves changes in the order they were made,
// folding those that pile up while a save is under way into the next one. A failed save keeps its changes,
// which the next change and Finish try again; one that found the store locked by another program all the
// while it waited is tried again at once, for as long as it takes.
class SettingsWriter {
public:
    // `onFailure` is called on the writer's thread, before the failed save ends, for a failure that follows
    // a success, or the start or the last Finish, except while Finish runs: its caller hears of what failed.
    SettingsWriter(const StoreBackend& backend, std::function<void(const SaveFailure&)> onFailure);

    // How many saves have ended: a read of the store begun after this many may miss what a save that ends
    // meanwhile wrote, while that save's changes no longer count as unsaved.
    std::uint64_t SavesEnded() const;
    // Hands changes of `appName`'s settings over to be saved together; each carries a value, and what it
    // was made over as read once `readAfter` saves had ended. Hands nothing and returns false when a save
    // has ended since: what was read may be older than this process's own last save, so read it again.
    bool Hand(std::string_view appName, std::vector<KeyChange> changes, std::uint64_t readAfter);
    // The text of this process's change of the key that is not saved yet. None when there is no such
    // change, or when the store now holds something else than when the change was made: another copy has
    // saved the key since, and its text is the newer. `stored` is what the store holds, if it could be read.
    std::optional<std::string> Unsaved(const SettingAddress& address,
                                       const std::optional<StoredValue>& stored) const;
    // Returns once every change handed so far has been tried, and nothing is being tried again: when the
    // writer is idle, or else once a save begun after the call has ended.
    void WaitUntilTried();
    // Tries once more what is not saved yet, and returns what still could not be, forgetting it.
    std::vector<SaveFailure> Finish();

private:
    struct Change {
        std::string value;
        std::optional<StoredValue> madeOver;
    };
    void run(std::stop_token stop);
    // Saves a copy of what is pending, with the lock released meanwhile, and applies the outcome.
    void save(std::unique_lock<std::mutex>& lock);

    const StoreBackend& backend_;
    const std::function<void(const SaveFailure&)> onFailure_;
    mutable std::mutex mutex_;
    std::condition_variable_any wake_; // the writer: something to save
    std::condition_variable_any done_; // the others: a save has ended
    std::map<SettingAddress, Change> pending_;
    std::map<SettingAddress, std::string> saving_; // the texts of the save under way
    std::uint64_t made_ = 0;                       // changes handed
    std::uint64_t tried_ = 0;                      // the changes up to this number have been tried
    std::uint64_t begun_ = 0;                      // saves begun
    std::uint64_t saves_ = 0;                      // saves ended
    bool again_ = false;                           // what is pending is to be tried again now
    bool finishing_ = false;
    bool failing_ = false; // the last save failed
    bool told_ = false;    // and its failure was told
    std::string lastReason_;
    std::jthread thread_; // last: it starts once the rest is ready, and is stopped and joined first
};

} // namespace tallix
