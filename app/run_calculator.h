#pragma once

class QApplication;

namespace tallix {

// Runs the calculator with the user's settings until its last window closes, or a stop signal closes
// them all as the user would; returns the exit status.
int RunCalculator(QApplication& app);

} // namespace tallix
