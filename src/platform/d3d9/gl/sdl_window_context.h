// Creates the OpenGL context of a windowed device on the shell's SDL window.
#pragma once

#include "platform/shell/win_types.h"

#include <memory>

namespace d3dgl {

class GlContext;

// Null when the window has no SDL window behind it or OpenGL 4.5 core cannot be had.
std::shared_ptr<GlContext> createWindowGlContext(HWND window);

} // namespace d3dgl
