#pragma once

#include <atomic>

#include <unistd.h>

namespace tallix {

// Ending the process at once (asked to stop a second time while it closes) must leave the settings file
// whole. A file replaced by a rename is whole at every moment; one rewritten in place is not, so such
// a rewrite holds the end off until it has finished. POSIX only; safe in a signal handler.
namespace end_at_once {
inline std::atomic<int> rewrites{0}; // rewrites in place under way
inline std::atomic<int> status{-1};  // the exit status asked for, once asked
static_assert(std::atomic<int>::is_always_lock_free);

inline void EndIfAsked() {
    if (const int asked = status.load(); asked >= 0) _exit(asked);
}
} // namespace end_at_once

// Ends the process with `status` now, or as soon as the rewrite in place under way has finished.
inline void EndProcessAtOnce(int status) {
    end_at_once::status.store(status);
    if (end_at_once::rewrites.load() == 0) _exit(status);
}

// Holds EndProcessAtOnce off while it lives.
class HoldEndAtOnce {
public:
    HoldEndAtOnce() {
        // Asked just before: nothing is written yet.
        if (end_at_once::rewrites.fetch_add(1) == 0) end_at_once::EndIfAsked();
    }
    ~HoldEndAtOnce() {
        if (end_at_once::rewrites.fetch_sub(1) == 1) end_at_once::EndIfAsked();
    }
    HoldEndAtOnce(const HoldEndAtOnce&) = delete;
    HoldEndAtOnce& operator=(const HoldEndAtOnce&) = delete;
};

} // namespace tallix
