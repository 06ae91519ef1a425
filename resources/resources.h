#pragma once

#include <QCursor>
#include <QFont>
#include <QIcon>
#include <QPixmap>

namespace tallix {

// Qt resource paths of the keypad's background bitmap, the program's icon and its pointer.
inline constexpr char kPictureBackgroundPath[] = ":/images/picture.bmp";
inline constexpr char kProgramIconPath[] = ":/images/tallix.ico";
inline constexpr char kPointerPath[] = ":/images/pointer.cur";

// Installs the bundled fonts and makes the classic 8-point dialog face (or its stand-in, below) the
// font of every text without a font of its own. Needs the QGuiApplication; call it before the first
// window is built. Later calls do nothing.
void RegisterFonts();

// How a face and size of the window definitions show. A face that the system lacks gives way to a
// stand-in, at the size that gives the stand-in about the width of the face it replaces, so that the
// captions fit their boxes as they were laid out: "JACKIE" to the bundled Comic Neue at 95 %, "Times
// New Roman" to the bundled Liberation Serif (the same metrics), "MS Sans Serif" to Arial or Liberation
// Sans at 7.5 points for 8. Registers the fonts first.
QFont ShownFont(const QString& face, double points, bool bold = false);

// The window's special mouse pointer, an arrow with its hot spot at the tip. Its interior inverts
// the screen on Windows; other window systems cannot invert under a cursor and get it white.
// Falls back to the standard arrow should the cursor file be unreadable.
QCursor SpecialPointer();

// The Windows bitmap at `path` as a pixmap. An uncompressed 24-bit bitmap is copied row by row into
// the pixmap's own format; any other is read by Qt's built-in BMP reader straight away, and a file
// that isn't a bitmap the usual way. Qt's usual route (QPixmap(path)) first asks every image format
// plugin whether it reads ".bmp", loading each plugin library (and libjpeg) to do so; the pixels come
// out the same on every route.
QPixmap LoadBitmap(const QString& path);

// The program's icon with the 24 and 48 pixel images of its icon file.
QIcon ProgramIcon();
// An icon file's images: 8-bit paletted ones read here as Qt's "ico" image plugin reads them, without
// loading the plugin before the first paint; any other icon through the plugin.
QIcon LoadIcon(const QString& path);

} // namespace tallix
