#include "settings/settings.h"

#include "engine/number_text.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>
#include <cmath>
#include <optional>
#include <system_error>
#include <vector>

namespace tallix {
namespace {

constexpr std::array<SettingInfo, 7> kSettings{{
    {Setting::MemoryValue, "MemoryValue", "0", SettingType::Text},
    {Setting::ShowMemoryTip, "FrstMmery", "Yes", SettingType::Text},
    {Setting::RedWhilePressed, "RedBttns", "1", SettingType::Byte},
    {Setting::SpecialPointer, "Value", "1", SettingType::Double},
    {Setting::ShowWelcome, "ShowPopup", "1", SettingType::Text},
    {Setting::Top, "Top", "1000", SettingType::Single},
    {Setting::Left, "Left", "1000", SettingType::Single},
}};

// A whole number in [low, high], written as a number text the display could show. Only the text's value
// counts, so "1.0" and "1E+00" read as 1; anything outside that grammar (" 1", "1e0", "+1") is refused.
std::optional<long> wholeNumber(std::string_view text, long low, long high) {
    const auto value = TextToNumber(text);
    if (!value || *value != std::trunc(*value) || *value < static_cast<double>(low) ||
        *value > static_cast<double>(high))
        return std::nullopt;
    return static_cast<long>(*value);
}

// Parsed straight to float: going through double first rounds twice, which misses the float that was
// written for 7.038531E-26 and its negative (the only two of all floats).
std::optional<float> singleNumber(std::string_view text) {
    const auto asDouble = TextToNumber(text);
    if (!asDouble) return std::nullopt;
    float value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Too small for a float reads as zero, like TextToNumber does for doubles; too large doesn't fit.
        if (std::fabs(*asDouble) < 1) return std::signbit(*asDouble) ? -0.0f : 0.0f;
        return std::nullopt;
    }
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

// Reads the stored text with the reader's conversion; when it doesn't convert, the key's default does.
template <typename Convert>
auto readConverted(SettingsStore& store, Setting setting, Convert convert) {
    if (auto value = convert(ReadText(store, setting))) return *value;
    // Every numeric key's default converts; a non-numeric key read as a number gives zero.
    return convert(InfoOf(setting).fallback).value_or(0);
}

} // namespace

const SettingInfo& InfoOf(Setting setting) {
    return *std::find_if(kSettings.begin(), kSettings.end(),
                         [&](const SettingInfo& info) { return info.setting == setting; });
}

std::string ReadText(SettingsStore& store, Setting setting) {
    const SettingInfo& info = InfoOf(setting);
    return store.GetSetting(kAppName, kSection, info.key, info.fallback);
}

void WriteText(SettingsStore& store, Setting setting, std::string_view text) {
    WriteTexts(store, {{setting, text}});
}

void WriteTexts(SettingsStore& store, std::initializer_list<SettingText> texts) {
    std::vector<KeyText> keyed;
    for (const SettingText& text : texts)
        keyed.push_back({InfoOf(text.setting).key, text.text});
    store.SaveSettings(kAppName, kSection, keyed);
}

std::optional<bool> ReadSwitch(SettingsStore& store, Setting setting) {
    switch (InfoOf(setting).type) {
    case SettingType::Text:
        return ReadText(store, setting) == "1";
    case SettingType::Byte:
        return readConverted(store, setting,
                             [](std::string_view text) { return wholeNumber(text, 0, 255); }) == 1;
    case SettingType::Double: {
        const double value = readConverted(store, setting, TextToNumber);
        if (value == 1 || value == 0) return value == 1;
        return std::nullopt;
    }
    case SettingType::Single:
        break;
    }
    assert(!"a position is not an on/off option");
    return std::nullopt;
}

std::int16_t ReadCheckState(SettingsStore& store, Setting setting) {
    return static_cast<std::int16_t>(
        readConverted(store, setting, [](std::string_view text) { return wholeNumber(text, 0, 2); }));
}

float ReadSingle(SettingsStore& store, Setting setting) {
    assert(InfoOf(setting).type == SettingType::Single);
    return readConverted(store, setting, singleNumber);
}

float SingleDefault(Setting setting) {
    return singleNumber(InfoOf(setting).fallback).value_or(0);
}

} // namespace tallix
