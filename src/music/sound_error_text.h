// The user-facing text for each of the sound library's last-error codes.
#pragma once

#include <string>

// "Unknown error" for a code outside the table.
std::string soundErrorText(int code);
