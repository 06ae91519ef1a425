#pragma once

#include <optional>
#include <span>

namespace tallix {

// The program's own options, answered on standard output before any display is opened, so that they
// work over ssh and in scripts: -h or --help, -v or --version. Returns the exit status when one of them
// was given; nothing when the calculator should run (Qt's own options, such as -platform, are Qt's).
std::optional<int> AnswerCommandLine(std::span<char* const> arguments);

} // namespace tallix
