#include "capture/frame_rate.h"

#include <cmath>
#include <cstdlib>

namespace {

std::optional<double> parsePositive(const std::string& text)
{
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value) || value <= 0) return std::nullopt;
    return value;
}

} // namespace

std::optional<double> parseFrameRate(const std::string& text)
{
    const std::size_t slash = text.find('/');
    std::optional<double> rate;
    if (slash == std::string::npos) {
        rate = parsePositive(text);
    } else {
        const auto numerator = parsePositive(text.substr(0, slash));
        const auto denominator = parsePositive(text.substr(slash + 1));
        if (numerator && denominator) rate = *numerator / *denominator;
    }
    // Beyond 1000 fps two frames would share one millisecond of the player's clock.
    if (!rate || *rate > 1000.0) return std::nullopt;
    return 1000.0 / *rate;
}
