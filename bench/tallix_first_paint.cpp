// The program as app/main.cpp starts it, with the first-paint hook that bench/startup reads.
#include "app/run_calculator.h"
#include "bench/first_paint_probe.h"
#include "platform/display_connection.h"

int main(int argc, char* argv[]) {
    const auto app = tallix::ConnectToDisplay(argc, argv);
    tallix::WatchFirstPaint(QStringLiteral("MainCalc"));
    return tallix::RunCalculator(*app);
}
