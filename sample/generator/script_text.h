// The sample demo's scripts: demo.psc loads everything and includes one file per section,
// each written in times relative to its include offset.
#pragma once

#include <string>
#include <utility>
#include <vector>

// File name and text of every script, demo.psc first; the credits picture is centred by its width.
std::vector<std::pair<std::string, std::string>> sampleScripts(int creditsWidth);

// Script time at which the demo ends, in milliseconds.
inline constexpr int kDemoEndMs = 82000;
