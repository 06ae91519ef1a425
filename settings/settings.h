#pragma once

#include "settings/settings_store.h"

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace tallix {

inline constexpr std::string_view kAppName = "Tallix.exe";
inline constexpr std::string_view kSection = "Default Settings";

// The seven settings that the program keeps between runs (their stored keys are in settings.cpp).
enum class Setting {
    MemoryValue,     // the number in memory
    ShowMemoryTip,   // whether the first M still explains the memory
    RedWhilePressed, // whether a held key turns dark red
    SpecialPointer,  // whether the main window shows the special mouse pointer
    ShowWelcome,     // whether the welcome window opens at start
    Top,             // the main window's place, in twips
    Left
};

// The type that the main window converts a setting's stored text to.
enum class SettingType {
    Text,   // compared as text
    Byte,   // unsigned 8-bit number
    Double, // any number
    Single  // a number within the finite float range
};

struct SettingInfo {
    Setting setting;
    std::string_view key;
    std::string_view fallback; // what every read passes as its default
    SettingType type;
};

const SettingInfo& InfoOf(Setting setting);

struct SettingText {
    Setting setting;
    std::string_view text;
};

// Every read and write of the program goes through these, with the key's one default. Texts written
// together are saved as one change.
std::string ReadText(SettingsStore& store, Setting setting);
void WriteText(SettingsStore& store, Setting setting, std::string_view text);
void WriteTexts(SettingsStore& store, std::initializer_list<SettingText> texts);

// Readers that convert. A stored text that does not convert reads as the key's default. Only number texts
// as the display writes them convert (TextToNumber): "1.0" and "1E+00" are 1, while " 1", "1e0" and "1,5"
// are not numbers. The system writes only texts that convert; others come from an outside edit.

// An on/off option read through its type: on when it is 1 (for a text, exactly "1"); off when it is 0, and
// also for any other text or byte; neither for a double that is another number, which leaves things as
// they are.
std::optional<bool> ReadSwitch(SettingsStore& store, Setting setting);
// An on/off option as a check box shows it, whatever its type: an integral value 0..2.
std::int16_t ReadCheckState(SettingsStore& store, Setting setting);
// A position, kept as a Single.
float ReadSingle(SettingsStore& store, Setting setting);

// The key's default as ReadSingle converts it.
float SingleDefault(Setting setting);

} // namespace tallix
