#pragma once

#include "settings/settings_store.h"

#include <cstdint>
#include <initializer_list>
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

struct SettingInfo {
    Setting setting;
    std::string_view key;
    std::string_view fallback; // what every read passes as its default
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

// Typed readers. A stored text that does not convert to the reader's type reads as the key's default.
// Only number texts as the display writes them convert (TextToNumber): "1.0" and "1E+00" are 1, while
// " 1", "1e0" and "1,5" are not numbers. The system writes only texts that convert; others come from an
// outside edit of the store.
std::uint8_t ReadByte(SettingsStore& store, Setting setting);       // integral value 0..255
double ReadDouble(SettingsStore& store, Setting setting);           // any number text
std::int16_t ReadCheckState(SettingsStore& store, Setting setting); // integral value 0..2
float ReadSingle(SettingsStore& store, Setting setting);            // within the finite float range

// The key's default as ReadSingle converts it.
float SingleDefault(Setting setting);

} // namespace tallix
