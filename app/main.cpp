#include "app/command_line.h"
#include "app/run_calculator.h"
#include "platform/display_connection.h"

int main(int argc, char* argv[]) {
    if (const auto status = tallix::AnswerCommandLine({argv, static_cast<std::size_t>(argc)})) return *status;
    const auto app = tallix::ConnectToDisplay(argc, argv);
    return tallix::RunCalculator(*app);
}
