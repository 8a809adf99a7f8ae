// demotool capture: the player's start-up (without the question) on the headless device and a
// virtual clock that advances exactly one frame time per frame, writing chosen frames as PNG
// and, with a trace folder, as device traces that each replay to that frame on their own.
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
    std::string traceDirectory;  // device traces of the same frames; empty: none
};

// Throws ToolError on bad input; the player's own fatal messages end the process themselves.
void runCapture(CaptureOptions options);
