#pragma once

#include <QString>

namespace tallix {

// Start-up benchmarks' hook, inert unless the environment variable TALLIX_BENCH_FIRST_PAINT is set.
// When it is, the first time the top-level widget named `windowName` has finished painting (its
// first frame painted and handed to the window system), prints one line to standard output,
//     first-paint realtime_us=R monotonic_us=M cpu_us=C vmhwm_kib=H
// (R and M: the system and steady clocks, in microseconds since their epochs; C: the processor time
// of all the process's threads so far; H: the peak resident set size from /proc/self/status, 0 where
// there is none), and ends the process at once, saving nothing. Call it after the QApplication exists and
// before the window is shown. When the variable is unset it does nothing but read the environment once.
void WatchFirstPaint(const QString& windowName);

} // namespace tallix
