#include "capture/frame_selection.h"

bool FrameSelection::wants(std::uint64_t k, double timeMs)
{
    bool due = false;
    if (!atMs.empty()) {
        // One frame serves every listed time it has reached.
        while (nextAt_ < atMs.size() && atMs[nextAt_] <= timeMs) {
            due = true;
            ++nextAt_;
        }
    } else {
        due = every <= 1 || k % every == 0;
    }
    if (fromMs && timeMs < *fromMs) return false;
    if (toMs && timeMs > *toMs) return false;
    return due;
}

bool FrameSelection::finishedAfter(double timeMs) const
{
    if (toMs && timeMs >= *toMs) return true;
    return !atMs.empty() && nextAt_ >= atMs.size();
}
