#pragma once

#include <QCursor>
#include <QIcon>

namespace tallix {

// Qt resource paths of the two background bitmaps: the keypad picture box's (the one that is seen)
// and the window's own (drawn under the picture box, so hidden).
inline constexpr char kPictureBackgroundPath[] = ":/images/picture.bmp";
inline constexpr char kWindowBackgroundPath[] = ":/images/window.bmp";
inline constexpr char kProgramIconPath[] = ":/images/tallix.ico";
inline constexpr char kPointerPath[] = ":/images/pointer.cur";

// Installs the bundled fonts, maps "JACKIE" to Comic Neue and "Times New Roman" to Liberation Serif
// where the system has no face of that name, and makes 8 points the size of every text without a
// font of its own. Needs the QGuiApplication; call it before the first window is built. Later calls
// do nothing.
void RegisterFonts();

// The window's special mouse pointer, an arrow with its hot spot at the tip. Its interior inverts
// the screen on Windows; other window systems cannot invert under a cursor and get it white.
// Falls back to the standard arrow should the cursor file be unreadable.
QCursor SpecialPointer();

// The program's icon with the 24 and 48 pixel images of its icon file (read as Qt's "ico" image plugin
// reads them, without loading the plugin).
QIcon ProgramIcon();

} // namespace tallix
