// Double to float the IEEE way: values beyond the float range become infinities rather than
// leaving the conversion undefined, so huge script numbers and rates stay harmless.
#pragma once

#include <limits>

inline float narrowToFloat(double value) {
    constexpr double largest = std::numeric_limits<float>::max();
    if (value > largest) return std::numeric_limits<float>::infinity();
    if (value < -largest) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}
