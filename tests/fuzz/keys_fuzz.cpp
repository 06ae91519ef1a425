// Any sequence of key presses: nothing crashes, the screen is never empty and the calculator's
// invariants hold after every key.
#include "engine/calculator.h"
#include "tests/engine/invariants.h"
#include "tests/engine/recording_boxes.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RecordingBoxes boxes;
    tallix::Calculator calc(boxes);
    calc.Load();
    const auto keys = tallix::AllKeys();
    for (std::size_t i = 0; i < size; ++i) {
        calc.Press(keys[data[i] % keys.size()].key);
        if (brokenInvariant(calc.State(), boxes)) std::abort();
    }
    return 0;
}
