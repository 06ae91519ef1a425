#include "engine/experience.h"

#include "engine/number_text.h"

#include <cmath>

namespace tallix {

std::optional<ExperienceOutputs> CalculateExperience(const ExperienceInputs& inputs) {
    // Exact text tests only: "0.0" or "00" per kill pass here and fail in the division below.
    if (inputs.desired.empty() || inputs.current.empty() || inputs.perKill.empty() || inputs.perKill == "0")
        return std::nullopt;

    ExperienceOutputs outputs{std::string(kErrorText), std::string(kErrorText)};
    const std::optional<double> desired = TextToNumber(inputs.desired);
    const std::optional<double> current = TextToNumber(inputs.current);
    if (!desired || !current) return outputs;

    // NumberToText gives "Error" for a difference that overflowed, which then fails to convert below.
    const std::string neededText = NumberToText(*desired - *current);
    if (neededText != kErrorText)
        outputs.expNeeded = neededText + " exp to " + std::string(inputs.desired) + ".";

    // The kills come from the needed experience as shown, rounded to 15 digits, not from the difference.
    const std::optional<double> needed = TextToNumber(neededText);
    const std::optional<double> perKill = TextToNumber(inputs.perKill);
    if (!needed || !perKill) return outputs;
    const double kills = *needed / *perKill;
    if (std::isfinite(kills)) outputs.killsNeeded = NumberToText(kills) + " kills left.";
    return outputs;
}

} // namespace tallix
