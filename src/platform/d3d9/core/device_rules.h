// Direct3D 9's argument rules that need more than a range check, as pure functions over the
// arguments and the caps, so the core and its tests read the same rule.
#pragma once

#include "platform/d3d9/d3d9.h"

namespace d3dcore {

// Inside a target of the given size, non-empty, without wrapping around on large values.
bool viewportFits(const D3DVIEWPORT9& viewport, UINT targetWidth, UINT targetHeight);
// A known type; point and spot lights need non-negative attenuation factors.
bool lightValid(const D3DLIGHT9& light);
bool textureParametersValid(const D3DCAPS9& caps, UINT width, UINT height, UINT levels, DWORD usage,
                            D3DFORMAT format, D3DPOOL pool);
bool plainSurfaceParametersValid(const D3DCAPS9& caps, UINT width, UINT height, D3DFORMAT format, D3DPOOL pool);
bool depthSurfaceParametersValid(const D3DCAPS9& caps, UINT width, UINT height, D3DFORMAT format,
                                 D3DMULTISAMPLE_TYPE multiSample);
bool bufferPoolValid(D3DPOOL pool);
// Levels of a full mipmap chain down to 1 × 1.
UINT fullChainLevels(UINT width, UINT height);

} // namespace d3dcore

namespace d3dcore {

// The colour formats textures and plain surfaces may have (A8R8G8B8, X8R8G8B8, R5G6B5, A8L8,
// L8); render targets take the 32-bit ones.
bool colorFormatSupported(D3DFORMAT format);
bool renderTargetFormat(D3DFORMAT format);
bool depthFormat(D3DFORMAT format);
bool depthFormatHasStencil(D3DFORMAT format);

} // namespace d3dcore
