#include "app/command_line.h"

#include <cstdio>
#include <string_view>

namespace tallix {
namespace {

constexpr std::string_view kHelp =
    "Usage: tallix [Qt options]\n"
    "A pocket calculator with a one-number memory that survives restarts.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Show this help and exit.\n"
    "  -v, --version  Show the version and exit.\n"
    "\n"
    "It also accepts the standard options of Qt applications, such as -platform NAME.\n";

int print(std::string_view text) {
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    return std::fflush(stdout) == 0 && written ? 0 : 1;
}

} // namespace

std::optional<int> AnswerCommandLine(std::span<char* const> arguments) {
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "-h" || argument == "--help") return print(kHelp);
        if (argument == "-v" || argument == "--version") return print("tallix " TALLIX_VERSION "\n");
    }
    return std::nullopt;
}

} // namespace tallix
