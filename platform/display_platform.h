#pragma once

namespace tallix {

// Chooses Qt's window system platform before the application starts, unless the user has
// (QT_QPA_PLATFORM): in a Wayland session where an X server answers (XWayland), X11. On Wayland a
// program can neither place its windows nor learn where they are, so the main window could not open
// where it was closed, nor the welcome and options windows beside it. Elsewhere Qt's own choice stands.
void ChooseDisplayPlatform();

// Whether the program runs on Wayland itself, where the compositor places every window and tells no
// one where.
bool OnWayland();

} // namespace tallix
