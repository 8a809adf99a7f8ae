// Frame rates as capture takes them: "50", "59.94" or "60000/1001".
#pragma once

#include <optional>
#include <string>

// Milliseconds per frame for a rate text; nothing for a rate that is not a positive number.
std::optional<double> parseFrameRate(const std::string& text);
