// How a command token becomes an argument value: integers and numbers read with the C
// library's forgiving prefix rules, times shifted by the include offset, slot names folded to
// lower case. Malformed text never fails: it reads as 0 or as its leading numeric part.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Optional white space and sign, then decimal digits up to the first other character; no
// digits gives 0. Values beyond the 32-bit range saturate instead of wrapping.
std::int32_t readInteger(std::string_view token);

// A decimal fraction with optional exponent, read from the start of the token; no number
// gives 0. Out-of-range magnitudes become infinity or zero, as the C library does.
float readNumber(std::string_view token);

// Whole milliseconds shifted by the time offset of the script file that holds the line.
float readTime(std::string_view token, float timeOffset);

// Slot names are case-insensitive: ASCII letters are folded to lower case.
std::string readSlot(std::string_view token);

std::string asciiLower(std::string_view text);
