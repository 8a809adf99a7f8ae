// demotool capture: the player's start-up (without the question) on the headless device and a
// virtual clock that advances exactly one frame time per frame, writing chosen frames as PNG
// or every frame as a video with its soundtrack, and, with a trace folder, as device traces
// that each replay to that frame on their own.
#pragma once

#include "capture/frame_selection.h"

#include <string>

struct CaptureOptions {
    std::string directory = ".";
    std::string archive;
    double frameMs = 20.0;
    FrameSelection selection;
    bool windowed = false;
    std::string outputDirectory; // PNG frames; empty: none
    std::string videoPath;       // a .mp4 or .mkv video with sound; empty: none
    bool lossless = false;       // FFV1 instead of H.264
    std::string rateText = "50"; // the frame rate as given, for the video's exact ratio
    std::string traceDirectory;  // device traces of the same frames; empty: none
};

// Throws ToolError on bad input; the player's own fatal messages end the process themselves.
void runCapture(CaptureOptions options);
