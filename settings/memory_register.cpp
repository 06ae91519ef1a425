#include "settings/memory_register.h"

#include "settings/settings.h"

namespace tallix {
namespace {

constexpr std::string_view kTipTitle = "Memory Tip";

// Shown once per user, the first time M stores a number. It ends without a full stop.
constexpr std::string_view kTipText =
    "If this is your first time using the memory button, please note that any number that gets saved into "
    "memory gets saved into the registry as well. This feature of Tallix allows you to save a number to "
    "memory, close the calculator, and open it again later without losing what was stored in memory. If a "
    "number (Besides 0) is in memory, you will see '(M)' in the calculators title. You can always display "
    "what is in memory onto screen by clicking the 'MR' button, or clear the memory by clicking the 'MR' "
    "button twice";

// The memory is kept as text: only these exact texts mean there is nothing to store or recall.
bool nothingToStore(std::string_view screen) {
    return screen == "0" || screen.empty() || screen == "Error";
}
bool memoryEmpty(std::string_view memory) {
    return memory == "0" || memory.empty();
}

} // namespace

MemoryRegister::MemoryRegister(SettingsStore& store, Calculator& calculator, DisplayBoxes& boxes,
                               MemoryHost& host)
    : store_(store)
    , calculator_(calculator)
    , boxes_(boxes)
    , host_(host) {}

void MemoryRegister::Load() {
    if (ReadText(store_, Setting::MemoryValue) != "0") host_.SetTitle(kTitleWithMemory);
    MemJustCleared = false;
    calculator_.State().MrClickCount = 0;
}

void MemoryRegister::Mem() {
    calculator_.State().MrClickCount = 0;
    if (nothingToStore(boxes_.ScreenText())) return;
    if (ReadText(store_, Setting::FrstMmery) == "Yes") {
        host_.ShowMemoryTip(kTipTitle, kTipText);
        WriteText(store_, Setting::FrstMmery, "No");
    }
    // The screen is read afresh at each step, after the modal tip.
    MemoryText = boxes_.ScreenText();
    WriteText(store_, Setting::MemoryValue, boxes_.ScreenText());
    host_.SetTitle(kTitleWithMemory);
}

void MemoryRegister::GatherMem() {
    CalcState& state = calculator_.State();
    MemoryText = ReadText(store_, Setting::MemoryValue);
    if (memoryEmpty(MemoryText)) return; // leaves MrClickCount too
    ++state.MrClickCount;
    if (state.MrClickCount > 1) {
        // Second press in a row: clear, and leave the screen showing what the first press recalled.
        MemoryText = std::string("0"); // not = "0": GCC 12 gives a false -Wrestrict warning there
        WriteText(store_, Setting::MemoryValue, "0");
        MemJustCleared = true;
        state.MrClickCount = 0;
        host_.SetTitle(kTitle);
    }
    state.EntryText = boxes_.ScreenText();
    if (state.OperatorPending) state.SecondEntered = true;
    state.StartNewEntry = false; // a digit typed next is appended to the recalled text
    if (!MemJustCleared) {
        MemoryText = ReadText(store_, Setting::MemoryValue);
        boxes_.SetScreenText(MemoryText);
        state.HaveNumber = true;
    }
    MemJustCleared = false;
}

} // namespace tallix
