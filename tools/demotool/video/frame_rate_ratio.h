// A frame-rate text ("50", "59.94", "60000/1001") as the exact ratio a video stream states.
#pragma once

#include <optional>
#include <string>

struct FrameRateRatio {
    int numerator;
    int denominator;
};

// Nothing for a text that is not a positive rate of at most 1000 frames per second.
std::optional<FrameRateRatio> parseFrameRateRatio(const std::string& text);
