#pragma once

#include <functional>

namespace tallix {

// Ends the run as the user would when the system asks the program to stop (SIGTERM, SIGINT, SIGHUP:
// a logout, kill, Ctrl+C in a terminal): `close` runs on the event loop, never in the signal handler,
// which only writes a byte to a socket pair. A second of these signals ends the process at once, with
// the shell's status for it (128 + the signal's number), though never in the middle of a write that
// would leave the settings file cut. Elsewhere than on Unix it does nothing.
void CloseOnStopSignals(std::function<void()> close);

} // namespace tallix
