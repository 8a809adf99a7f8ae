// Which captured frames are written: a time window, an every-N-th stride, or the first frame
// at or after each of a list of times.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

class FrameSelection {
public:
    std::optional<double> fromMs;
    std::optional<double> toMs;
    std::vector<double> atMs; // kept sorted
    std::uint64_t every = 1;

    // True when frame k, composed at timeMs, is to be written. Frames must be asked in order.
    bool wants(std::uint64_t k, double timeMs);
    // True once no later frame can be wanted.
    bool finishedAfter(double timeMs) const;

private:
    std::size_t nextAt_ = 0;
};
