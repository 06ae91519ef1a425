#pragma once

#include <QImage>

// The main window's picture as the program shows it at start-up, drawn offscreen: the program runs with
// its fonts and an in-memory settings store (a first run with the welcome window turned off), and the
// main window is grabbed with QWidget::grab. Needs the QApplication. The picture carries the window's
// device pixel ratio.
QImage GrabMainWindow();
