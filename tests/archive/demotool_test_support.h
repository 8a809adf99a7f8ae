// Running demotool's container commands in-process, through the same parser and exit-code
// mapping as the binary, with standard output and error captured.
#pragma once

#include "commands.h"

#include <CLI/CLI.hpp>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

struct ToolRun {
    int code;
    std::string out;
    std::string err;
};

inline ToolRun demotool(std::vector<std::string> args)
{
    CLI::App app{"test", "demotool"};
    addPackCommand(app);
    addListCommand(app);
    addExtractCommand(app);
    addAppendCommand(app);
    args.insert(args.begin(), "demotool");
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const int code = runDemotool(app, static_cast<int>(argv.size()), argv.data());
    std::string out = ::testing::internal::GetCapturedStdout();
    return {code, out, ::testing::internal::GetCapturedStderr()};
}

inline std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

