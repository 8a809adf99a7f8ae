// The capabilities the OpenGL device reports: eight stages, hardware transform and lighting,
// vertex shader 2.0, eight lights, non-power-of-two textures and sprites up to 8192 pixels
// (sprites are expanded to quads, so no driver point-size limit applies).
#pragma once

#include "platform/d3d9/d3d9.h"

namespace d3dgl {

D3DCAPS9 glDeviceCaps();

} // namespace d3dgl
