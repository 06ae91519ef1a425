#pragma once

#include "windows/forms/control_table.h"

#include <QColor>

#include <cstdint>

namespace tallix {

// The calculator window as defined: its own properties and its 29 controls.

inline constexpr char kMainTitle[] = "Tallix - By Dorvik5150";
inline constexpr char kMainTitleWithMemory[] = "Tallix - By Dorvik5150 (M)";
inline constexpr std::uint32_t kMainBackColor = 0x00000080; // 0x00BBGGRR, dark red; lies under Picture1

// An RGB colour value of the definitions, laid out as 0x00BBGGRR.
inline QColor RgbColor(std::uint32_t value) {
    const auto channel = [value](int shift) { return static_cast<int>((value >> shift) & 0xFFu); };
    return {channel(0), channel(8), channel(16)};
}

// Topmost control first within each container: the window's twelve, then the seventeen of Picture1.
extern const FormDef kMainWindowForm;

} // namespace tallix
