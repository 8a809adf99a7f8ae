// Capture's progress on a terminal: one line redrawn in place on standard error with the
// frames done, frames per second and, when the end is known, a bar and the time left. Draws
// nothing when standard error is not a terminal.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

class ProgressBar {
public:
    // totalFrames: how many frames the capture will draw, when known.
    explicit ProgressBar(std::optional<std::uint64_t> totalFrames);
    // After each frame; redraws at most a few times a second.
    void update(std::uint64_t framesDone);
    // Clears the line.
    void finish();

    // The line for framesDone after `seconds` of work (no terminal codes).
    static std::string line(std::uint64_t framesDone, std::optional<std::uint64_t> totalFrames, double seconds);

private:
    bool terminal_;
    std::optional<std::uint64_t> total_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDrawn_;
    bool drawn_ = false;
};
