#pragma once

class QWidget;

namespace tallix {

// Tells the X11 window manager exactly what the window's frame offers, where Qt's own hints offer
// more: every frame of the window definitions has a title bar and a fixed size, and at most the close,
// minimise and maximise boxes that the window's flags name; no window menu, no resizing. A tool window
// (Qt::Tool) has no taskbar entry. Call it before the window is mapped; elsewhere than on X11 it does
// nothing.
void SetWindowManagerHints(QWidget& window);

// Whether a mouse button is down at the X server, which knows of a press before the program does: the
// window manager may hold it (a click to focus), or it may still be on its way. False elsewhere than
// on X11.
bool PointerButtonDownAtServer();

} // namespace tallix
