// The time from a click to the window's answer, that is until the click's handlers have run and the
// window is free for the next event: for a digit, M and the options window's OK, on the program itself
// over the real settings store in $XDG_CONFIG_HOME. bench/clicks runs it beside a baseline, on a slowed
// disk and with the settings file held by another program.
//   tallix_click_answer [ROUNDS]   prints "KEY median_ms worst_ms" for each of digit, M and OK
#include "resources/resources.h"
#include "settings/platform_settings_store.h"
#include "windows/forms/form.h"
#include "windows/forms/message_boxes.h"
#include "windows/main/main_window.h"
#include "windows/main/program.h"

#include <QApplication>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

// Milliseconds from pressing the control to the moment its window has handled all the click set off.
double clickMilliseconds(QWidget& window, const char* control) {
    QWidget* target = window.findChild<QWidget*>(QLatin1String(control));
    const auto start = std::chrono::steady_clock::now();
    QTest::mouseClick(target, Qt::LeftButton);
    QCoreApplication::processEvents();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void print(const char* key, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("%s %.2f %.2f\n", key, times[times.size() / 2], times.back());
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    tallix::RegisterFonts();
    tallix::PlatformSettingsStore store;
    tallix::SilentMessageBoxes boxes;
    tallix::Program program(store, boxes);
    program.Start();
    QWidget& main = *program.Main();
    std::vector<double> digit, memory, okay;
    for (int i = 0; i < rounds; ++i) {
        digit.push_back(clickMilliseconds(main, "Num5"));
        memory.push_back(clickMilliseconds(main, "Mem"));
        clickMilliseconds(main, "OptButton");
        okay.push_back(clickMilliseconds(*tallix::OpenForm(u"Sett"), "Okay"));
    }
    print("digit", digit);
    print("M", memory);
    print("OK", okay);
    program.Close();
    program.Finish();
    return 0;
}
