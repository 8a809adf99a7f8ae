// The one error a demotool command raises for bad input: a one-line message that main prints
// before exiting with code 1. Usage errors are CLI11's own and exit with code 2.
#pragma once

#include <stdexcept>
#include <string>

class ToolError : public std::runtime_error {
public:
    explicit ToolError(const std::string& message) : std::runtime_error(message) {}
};
