#include "app/display_connection.h"
#include "app/run_calculator.h"

int main(int argc, char* argv[]) {
    const auto app = tallix::ConnectToDisplay(argc, argv);
    return tallix::RunCalculator(*app);
}
