// Costs of the calculator's hot paths, each beside a baseline measured in the same run:
// the conversions against the C library's snprintf("%.15G") and strtod, the keys against a
// plain string append (what a digit key does at heart).
#include "engine/calculator.h"
#include "engine/number_text.h"
#include "tests/engine/recording_boxes.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

volatile std::size_t sink;

// Nanoseconds per call of `work(i)`, the best of five rounds of `n` calls.
template <typename Work>
double nsPerCall(std::size_t n, Work work) {
    double best = 1e300;
    for (int round = 0; round < 5; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (std::size_t i = 0; i < n; ++i)
            work(i);
        const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count() / static_cast<double>(n));
    }
    return best;
}

void report(const char* what, double ns, const char* baselineName, double baselineNs) {
    std::printf("%-34s %9.1f ns   %-28s %9.1f ns   ratio %5.2f\n", what, ns, baselineName, baselineNs,
                ns / baselineNs);
}

} // namespace

int main() {
    constexpr std::size_t kValues = 4096;
    std::mt19937_64 random(1);
    std::uniform_real_distribution<double> mantissa(-1e6, 1e6);
    std::vector<double> values(kValues);
    for (double& v : values)
        v = mantissa(random) * std::pow(10.0, static_cast<int>(random() % 40) - 20);
    std::vector<std::string> texts(kValues);
    for (std::size_t i = 0; i < kValues; ++i)
        texts[i] = tallix::NumberToText(values[i]);

    const std::size_t n = 400000;
    const double toText =
        nsPerCall(n, [&](std::size_t i) { sink = tallix::NumberToText(values[i % kValues]).size(); });
    const double printfText = nsPerCall(n, [&](std::size_t i) {
        char buffer[32];
        sink = static_cast<std::size_t>(std::snprintf(buffer, sizeof buffer, "%.15G", values[i % kValues]));
    });
    const double toNumber = nsPerCall(n, [&](std::size_t i) {
        sink = static_cast<std::size_t>(tallix::TextToNumber(texts[i % kValues]).value_or(0) != 0);
    });
    const double strtodNumber = nsPerCall(n, [&](std::size_t i) {
        sink = static_cast<std::size_t>(std::strtod(texts[i % kValues].c_str(), nullptr) != 0);
    });

    RecordingBoxes boxes;
    RecordingMemory memory;
    tallix::Calculator calc(boxes, memory, memory);
    calc.Load();
    const double digit = nsPerCall(n, [&](std::size_t i) {
        if (i % 20 == 0) calc.Press(tallix::Key::Clear); // keep the entry short, as a user would
        calc.Press(tallix::Key::Digit7);
    });
    // A digit key at heart: read the screen text, append the digit, write it back.
    std::string screen(1, '0');
    const double append = nsPerCall(n, [&](std::size_t i) {
        if (i % 20 == 0) screen.assign(1, '0');
        std::string entry = screen;
        entry.push_back('7');
        screen.swap(entry);
        sink = screen.size();
    });

    using tallix::Key;
    const Key chain[] = {Key::Digit5, Key::Add,    Key::Digit3,   Key::Multiply, Key::Digit2,
                         Key::Divide, Key::Digit7, Key::Subtract, Key::Digit1,   Key::Equal};
    const double chained = nsPerCall(n / 10, [&](std::size_t) {
        calc.Press(tallix::Key::Clear);
        for (Key key : chain)
            calc.Press(key);
    });
    const double chainBaseline = nsPerCall(n / 10, [&](std::size_t i) {
        // the same arithmetic done directly, each result written and read back through the C library
        char buffer[32];
        double r = 5 + 3;
        r *= 2;
        r /= 7 + static_cast<double>(i % 2) * 0;
        r -= 1;
        for (int k = 0; k < 4; ++k) {
            std::snprintf(buffer, sizeof buffer, "%.15G", r);
            r = std::strtod(buffer, nullptr);
        }
        sink = static_cast<std::size_t>(r);
    });
    if (boxes.screen != "1.28571428571429") std::printf("unexpected chain result %s\n", boxes.screen.c_str());

    std::printf("Tallix engine benchmark (best of 5 rounds)\n");
    report("number to text", toText, "snprintf(\"%.15G\")", printfText);
    report("text to number", toNumber, "strtod", strtodNumber);
    report("one digit key", digit, "read, append, write a text", append);
    report("ten-key chained calculation", chained, "4x snprintf+strtod", chainBaseline);
    return 0;
}
