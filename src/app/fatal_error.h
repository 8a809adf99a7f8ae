// The start-up failure routine: tears down what exists, reports the message and ends the
// process with exit code 5. Never returns.
#pragma once

#include <string>

[[noreturn]] void fatalError(const std::string& message);
