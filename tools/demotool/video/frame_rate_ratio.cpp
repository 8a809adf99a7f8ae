#include "video/frame_rate_ratio.h"

#include <cstdint>
#include <numeric>

namespace {

// Digits with at most one point, as an integer over a power of ten.
bool parseDecimal(const std::string& text, std::int64_t& value, std::int64_t& scale)
{
    value = 0;
    scale = 1;
    bool point = false;
    bool digits = false;
    for (const char c : text) {
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9') return false;
        if (value > 100000000 || (point && scale > 100000)) return false;
        value = value * 10 + (c - '0');
        if (point) scale *= 10;
        digits = true;
    }
    return digits;
}

} // namespace

std::optional<FrameRateRatio> parseFrameRateRatio(const std::string& text)
{
    std::int64_t numerator = 0;
    std::int64_t denominator = 1;
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos) {
        if (!parseDecimal(text, numerator, denominator)) return std::nullopt;
    } else {
        std::int64_t top = 0, topScale = 1, bottom = 0, bottomScale = 1;
        if (!parseDecimal(text.substr(0, slash), top, topScale) ||
            !parseDecimal(text.substr(slash + 1), bottom, bottomScale))
            return std::nullopt;
        numerator = top * bottomScale;
        denominator = bottom * topScale;
    }
    if (numerator <= 0 || denominator <= 0 || numerator > 1000 * denominator) return std::nullopt;
    const std::int64_t common = std::gcd(numerator, denominator);
    numerator /= common;
    denominator /= common;
    if (numerator > INT32_MAX || denominator > INT32_MAX) return std::nullopt;
    return FrameRateRatio{static_cast<int>(numerator), static_cast<int>(denominator)};
}
