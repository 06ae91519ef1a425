#pragma once

#include <string>
#include <string_view>

namespace tallix {

// Where the memory's number stays between runs (the settings store). It is kept as the text the screen
// showed, "0" when nothing is stored; so is the flag that the first-use tip was shown.
class MemoryStorage {
public:
    virtual ~MemoryStorage() = default;
    virtual std::string StoredText() = 0;
    virtual void Store(std::string_view text) = 0;
    virtual bool TipWanted() = 0; // the first-use tip has not been shown to this user yet
    virtual void TipShown() = 0;
};

// The main window's side of the memory: the "(M)" in its title and the first-use tip.
class MemoryHost {
public:
    virtual ~MemoryHost() = default;
    virtual void ShowMemoryMark(bool held) = 0;
    // Modal: returns once the user has closed the tip.
    virtual void ShowMemoryTip() = 0;
};

} // namespace tallix
