#include "settings/settings_writer.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace tallix {
namespace {

// The changes of one application that a save writes together.
struct Group {
    std::string appName;
    std::vector<KeyChange> changes;
    WriteOutcome outcome;
};

} // namespace

SettingsWriter::SettingsWriter(const StoreBackend& backend, std::function<void(const SaveFailure&)> onFailure)
    : backend_(backend)
    , onFailure_(std::move(onFailure))
    , thread_([this](std::stop_token stop) { run(stop); }) {}

std::uint64_t SettingsWriter::SavesEnded() const {
    const std::lock_guard lock(mutex_);
    return saves_;
}

bool SettingsWriter::Hand(std::string_view appName, std::vector<KeyChange> changes, std::uint64_t readAfter) {
    {
        const std::lock_guard lock(mutex_);
        if (saves_ != readAfter) return false;
        for (KeyChange& change : changes)
            pending_[SettingAddress(appName, change.section, change.key)] =
                Change{std::move(change.value).value_or(std::string()), std::move(change.madeOver)};
        made_ += changes.size();
    }
    wake_.notify_one();
    return true;
}

std::optional<std::string> SettingsWriter::Unsaved(const SettingAddress& address,
                                                   const std::optional<StoredValue>& stored) const {
    const std::lock_guard lock(mutex_);
    const auto change = pending_.find(address);
    if (change == pending_.end()) return std::nullopt;
    // The store holds what it held when the change was made or, while this process saves the key, the
    // text being saved: nobody else has saved the key since.
    const auto& madeOver = change->second.madeOver;
    const auto saving = saving_.find(address);
    if (!stored || !madeOver || *stored == *madeOver ||
        (saving != saving_.end() && *stored == saving->second))
        return change->second.value;
    return std::nullopt;
}

void SettingsWriter::WaitUntilTried() {
    std::unique_lock lock(mutex_);
    const std::uint64_t upTo = made_;
    const std::uint64_t begun = begun_;
    done_.wait(lock, [&] { return tried_ >= upTo && ((saving_.empty() && !again_) || saves_ > begun); });
}

std::vector<SaveFailure> SettingsWriter::Finish() {
    std::unique_lock lock(mutex_);
    if (!pending_.empty()) {
        finishing_ = again_ = true;
        const std::uint64_t fresh = begun_ + 1; // after any save under way, one begun from here
        wake_.notify_one();
        done_.wait(lock, [&] { return saves_ >= fresh || pending_.empty(); });
        finishing_ = again_ = false;
    }
    std::vector<SaveFailure> unsaved;
    for (const auto& [address, change] : pending_) {
        const auto& [appName, section, key] = address;
        if (unsaved.empty() || unsaved.back().where != backend_.Where(appName))
            unsaved.push_back({backend_.Where(appName), {}, lastReason_});
        unsaved.back().keys.push_back(key);
    }
    pending_.clear();
    tried_ = made_;
    told_ = false; // the next run hears of a failure that goes on
    return unsaved;
}

void SettingsWriter::run(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    while (wake_.wait(lock, stop, [this] { return made_ > tried_ || again_; }) && !stop.stop_requested())
        save(lock);
}

void SettingsWriter::save(std::unique_lock<std::mutex>& lock) {
    const std::uint64_t upTo = made_;
    again_ = false;
    ++begun_;
    const bool wholeAnew = failing_;
    std::vector<Group> groups; // the pending changes, by application
    for (const auto& [address, change] : pending_) {
        const auto& [appName, section, key] = address;
        if (groups.empty() || groups.back().appName != appName) groups.push_back({appName, {}, {}});
        groups.back().changes.push_back({section, key, change.value, change.madeOver});
        saving_.emplace(address, change.value);
    }
    lock.unlock();
    for (Group& group : groups)
        group.outcome = backend_.Write(group.appName, group.changes, wholeAnew);
    lock.lock();

    bool failed = false;
    std::optional<SaveFailure> toTell;
    for (const Group& group : groups) {
        if (const auto& reason = group.outcome.failure) {
            failed = true;
            lastReason_ = *reason;
            if (group.outcome.busy && !finishing_) again_ = true;
            if (told_ || finishing_) continue;
            told_ = true;
            toTell = SaveFailure{backend_.Where(group.appName), {}, *reason};
            for (const KeyChange& change : group.changes)
                toTell->keys.push_back(change.key);
            continue;
        }
        for (std::size_t i = 0; i < group.changes.size(); ++i) {
            const KeyChange& sent = group.changes[i];
            const auto now = pending_.find(SettingAddress(group.appName, sent.section, sent.key));
            if (now == pending_.end()) continue;
            if (now->second.value == *sent.value && now->second.madeOver == sent.madeOver) {
                pending_.erase(now);
                continue;
            }
            // Changed again while this save ran. If that change was made over what this save found, it
            // comes after this save's text now in the store.
            const auto& superseded = group.outcome.superseded;
            if (std::find(superseded.begin(), superseded.end(), i) == superseded.end() &&
                now->second.madeOver == sent.madeOver)
                now->second.madeOver = sent.value;
        }
    }
    if (toTell) {
        // Told before the save ends, so that whoever waits for it finds it told; outside the lock, so that
        // telling (a full pipe on standard error) never holds up a reader.
        lock.unlock();
        onFailure_(*toTell);
        lock.lock();
    }
    failing_ = failed;
    told_ = told_ && failed;
    saving_.clear();
    tried_ = upTo;
    ++saves_;
    done_.notify_all();
}

} // namespace tallix
