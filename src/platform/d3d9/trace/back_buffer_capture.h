// Reads the current back buffer of any Direct3D 9 device into plain RGBA bytes (top row
// first) through GetRenderTargetData, the way a Direct3D 9 program takes a screenshot.
// Shared by the trace tools on Linux and the Windows reference program.
#pragma once

#include "platform/d3d9/trace/trace_d3d_api.h"

#include <cstdint>
#include <string>
#include <vector>

struct CapturedImage {
    unsigned width = 0;
    unsigned height = 0;
    std::vector<std::uint8_t> rgba; // width × height × 4; X8 formats read with alpha 255
};

// False (with a message) when the device cannot hand its back buffer over.
bool captureBackBuffer(IDirect3DDevice9* device, CapturedImage& image, std::string& error);
