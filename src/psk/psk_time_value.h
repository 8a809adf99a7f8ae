// A track's stored time value on the time base of the scene that loads the file: the integer
// part of value × scale + offset, in single precision. Results below 0 become 0 and results
// beyond the 32-bit range its largest value (NaN: 0), so a nested scene's negative offset or
// a huge scale gives an early or late time rather than an undefined conversion.
#pragma once

#include <cstdint>

std::uint32_t pskTimeValue(std::uint32_t stored, float timeScale, float timeOffset);
