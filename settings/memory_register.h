#pragma once

#include "engine/calculator.h"
#include "settings/settings_store.h"

#include <string>
#include <string_view>

namespace tallix {

inline constexpr std::string_view kTitle = "Tallix - By Dorvik5150";
inline constexpr std::string_view kTitleWithMemory = "Tallix - By Dorvik5150 (M)";

// What the memory keys need from the main window besides its boxes.
class MemoryHost {
public:
    virtual ~MemoryHost() = default;
    virtual void SetTitle(std::string_view title) = 0;
    // Modal: returns once the user has closed the tip (title "Memory Tip", OK only, no icon).
    virtual void ShowMemoryTip(std::string_view title, std::string_view text) = 0;
};

// The one-number memory: M stores the screen text in the settings store, MR recalls it, and a second
// MR in a row clears it. The title ends in "(M)" while the memory holds a number.
class MemoryRegister {
public:
    MemoryRegister(SettingsStore& store, Calculator& calculator, DisplayBoxes& boxes, MemoryHost& host);

    void Load();      // marks the title unless the stored memory is "0"; resets the recall state
    void Mem();       // M
    void GatherMem(); // MR

    std::string MemoryText;
    bool MemJustCleared = false;

private:
    SettingsStore& store_;
    Calculator& calculator_;
    DisplayBoxes& boxes_;
    MemoryHost& host_;
};

} // namespace tallix
