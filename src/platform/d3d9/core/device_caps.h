// What every device reports in D3DCAPS9: eight stages, eight lights, hardware T&L, vertex
// shader 2.0, non-power-of-two textures up to 8192 pixels, one vertex stream (the fixed-function
// pipeline reads stream 0 only). The core's rules read these caps, so a test that changes them
// changes what the device accepts.
#pragma once

#include "platform/d3d9/d3d9.h"

namespace d3dcore {

D3DCAPS9 deviceCaps();

} // namespace d3dcore
