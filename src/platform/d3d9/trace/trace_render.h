// Replays a trace and keeps the back buffer as it stood at the trace's last Present (or at
// its end when it never presents): what `demotool trace render` and the reference program
// turn into a PNG, and what the reference-image tests compare.
#pragma once

#include "platform/d3d9/trace/back_buffer_capture.h"
#include "platform/d3d9/trace/trace_player.h"

#include <string>
#include <string_view>

struct TraceRendering {
    TraceReplayResult replay;
    CapturedImage image;
    std::string error; // replay or readback failure; empty on success
};

TraceRendering renderTrace(std::string_view text, IDirect3DDevice9* device);

// Present parameters for a device matching the trace header (windowed, the header's
// back-buffer format and automatic depth format), at the given size.
D3DPRESENT_PARAMETERS presentParametersForTrace(const TraceHeader& header, unsigned width, unsigned height);
