#pragma once

#include <QApplication>

#include <memory>

namespace tallix {

// The application, connected to the window system. Qt's messages are held back while it connects:
// when that fails, Qt would print several lines and abort with a core dump, where this prints one line
// naming the cause and ends the process with status 1.
std::unique_ptr<QApplication> ConnectToDisplay(int& argc, char** argv);

} // namespace tallix
