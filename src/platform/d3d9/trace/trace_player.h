// Replays a device trace (docs/trace-format.md) onto any Direct3D 9 device: ours on OpenGL,
// the recording device, or a real Direct3D 9 in the Windows reference program. Every field,
// handle, size and index is checked before the device sees it; a bad trace stops the replay
// with a message naming the line.
#pragma once

#include "platform/d3d9/trace/trace_d3d_api.h"
#include "platform/d3d9/trace/trace_reader.h"

#include <functional>
#include <string>
#include <string_view>

struct TraceReplayOptions {
    // Called just before each Present is passed on (the back buffer still holds the frame).
    std::function<void(IDirect3DDevice9* device, unsigned presentIndex)> beforePresent;
};

struct TraceReplayResult {
    bool ok = false;
    std::string error;          // "line N: ..." when !ok
    unsigned calls = 0;         // lines replayed
    unsigned presents = 0;
    unsigned failedCalls = 0;   // device calls that returned a failure code
    std::string firstFailure;   // "line N: Name returned 0x..." for the first of them
};

// Reads just the header (to create a matching device first).
bool readTraceHeader(std::string_view text, TraceHeader& header, std::string& error);

// Replays everything after the header. The device keeps whatever state the trace left;
// every object the trace created is released before returning.
TraceReplayResult replayTrace(std::string_view text, IDirect3DDevice9* device,
                              const TraceReplayOptions& options = {});

