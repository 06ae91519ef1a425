#include "windows/main/main_window_definition.h"

#include "engine/display_boxes.h"

#include <array>

namespace tallix {

namespace {

constexpr auto kKey = ControlKind::Key;
constexpr FontDef kTimes9{"Times New Roman", 9};
constexpr FontDef kTimes975{"Times New Roman", 9.75};
constexpr FontDef kTimes12{"Times New Roman", 12};
constexpr FontDef kTimes1425{"Times New Roman", 14.25};
constexpr FontDef kJackie975{"JACKIE", 9.75};
constexpr FontDef kJackie1125{"JACKIE", 11.25};
constexpr FontDef kJackie12{"JACKIE", 12}; // the keys' usual face

// clang-format off
const std::array<ControlDef, 29> kControls{{
    // kind, name, caption, container, left, top, width, height, tab, font, accessible name, look
    // Only the program writes the texts. The operator box sits inside the number box, 19 pixels wide:
    // without a frame and its clear margins, "y^2" shows whole.
    {ControlKind::TextBox, "Display", "", nullptr, 180, 180, 280, 255, 12, kTimes9, "Pending operator",
     {.disabled = true, .frameless = true, .background = QPalette::WindowText, .text = QPalette::Base}},
    {ControlKind::TextBox, "Screen", "", nullptr, 120, 120, 3015, 375, 9, kTimes975, "Number display",
     {.disabled = true, .alignment = Qt::AlignRight | Qt::AlignVCenter, .maxLength = kScreenMaxLength,
      .classic = true, .background = QPalette::ButtonText, .text = QPalette::HighlightedText}},
    {kKey, "Deci", ".", nullptr, 1320, 3000, 495, 495, 8, kJackie12, "Decimal point"},
    {kKey, "Sroot", "Sqrt", nullptr, 2640, 1200, 495, 495, 7, kJackie1125, "Square root"},
    {kKey, "Polarity", "+/-", nullptr, 720, 3000, 495, 495, 6, kJackie12, "Change sign"},
    {kKey, "GatherMem", "MR", nullptr, 2040, 600, 495, 495, 5, kJackie12, "Memory recall"},
    {kKey, "Mem", "M", nullptr, 2640, 600, 495, 495, 4, kJackie12, "Memory store"},
    {kKey, "Divide", "\u00F7", nullptr, 2040, 1200, 495, 495, 3, kTimes12, "Divide"},
    {kKey, "Minus", "_", nullptr, 2040, 2400, 495, 495, 2, kJackie12, "Subtract"},
    {kKey, "Add", "+", nullptr, 2040, 3000, 495, 495, 1, kJackie12, "Add"},
    {kKey, "Mult", "\u00D7", nullptr, 2040, 1800, 495, 495, 0, kJackie12, "Multiply"},
    {ControlKind::PictureBox, "Picture1", "", nullptr, -120, -40, 3855, 3880, 10},

    {kKey, "OptButton", "Options", "Picture1", 2420, 3545, 810, 265, 28, kJackie975, "Options"},
    {kKey, "Equal", "=", "Picture1", 2730, 3010, 495, 495, 27, kJackie12, "Equals"},
    {kKey, "PowerTwo", "y^2", "Picture1", 2730, 2420, 495, 495, 26, kJackie12, "Square"},
    {kKey, "Power", "y^", "Picture1", 2730, 1815, 495, 495, 25, kJackie12, "Power"},
    {kKey, "ClearLast2", "CE", "Picture1", 1110, 615, 800, 495, 24, kJackie12, "Clear entry"},
    {kKey, "Clear2", "C", "Picture1", 210, 610, 800, 495, 23, kJackie12, "Clear"},
    {kKey, "Num0", "0", "Picture1", 215, 3010, 495, 495, 22, kJackie12, "Zero"},
    {kKey, "Num3", "3", "Picture1", 1410, 2420, 495, 495, 21, kJackie12, "Three"},
    {kKey, "Num2", "2", "Picture1", 815, 2410, 495, 495, 20, kJackie12, "Two"},
    {kKey, "Num1", "1", "Picture1", 210, 2430, 495, 495, 19, kJackie975, "One"},
    {kKey, "Num6", "6", "Picture1", 1410, 1820, 495, 495, 18, kJackie12, "Six"},
    {kKey, "Num5", "5", "Picture1", 815, 1815, 495, 495, 17, kJackie12, "Five"},
    {kKey, "Num4", "4", "Picture1", 210, 1820, 495, 495, 16, kTimes1425, "Four"},
    {kKey, "Num9", "9", "Picture1", 1415, 1220, 495, 495, 15, kJackie12, "Nine"},
    {kKey, "Num8", "8", "Picture1", 815, 1215, 495, 495, 14, kJackie12, "Eight"},
    {kKey, "Num7", "7", "Picture1", 210, 1220, 495, 495, 13, kJackie12, "Seven"},
    {kKey, "RsCalc", "RS Experience Calculator", "Picture1", 210, 3545, 2175, 255, 11, kJackie975,
     "RuneScape experience calculator"},
}};
// clang-format on

} // namespace

const FormDef kMainWindowForm{
    .name = "MainCalc",
    .title = kMainTitle,
    .flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint,
    .clientWidth = 3240,
    .clientHeight = 3810,
    .controls = kControls,
};

} // namespace tallix
