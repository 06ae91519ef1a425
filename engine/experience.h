#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tallix {

// The three inputs of the experience calculator, as typed.
struct ExperienceInputs {
    std::string_view perKill;
    std::string_view current;
    std::string_view desired;
};

// The texts of the two output boxes.
struct ExperienceOutputs {
    std::string expNeeded;
    std::string killsNeeded;
};

// Nothing when the inputs are refused: an empty field, or a per-kill text that is exactly "0". Otherwise
// both outputs; one that cannot be computed (an input that is no number, a result that isn't finite)
// reads "Error", as the calculator's display does, while the other keeps its own result.
std::optional<ExperienceOutputs> CalculateExperience(const ExperienceInputs& inputs);

} // namespace tallix
