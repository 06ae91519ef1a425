#pragma once

class QWidget;

namespace tallix {

// Shows a window without modality, or brings an open one to the front as the active window, restored
// if it was minimised.
void ShowInFront(QWidget& window);

} // namespace tallix
