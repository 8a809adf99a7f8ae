// The quad that covers the whole target whatever the transforms' size: clip-space corners at
// depth 1 with texture coordinates running top-down, drawn as a four-vertex triangle strip.
#pragma once

#include "platform/d3d9/d3d9.h"

struct QuadVertex {
    float x, y, z;
    float u, v;
};

inline constexpr DWORD kQuadFormat = D3DFVF_XYZ | D3DFVF_TEX1;
inline constexpr UINT kQuadStride = sizeof(QuadVertex);
inline constexpr QuadVertex kClipSpaceQuad[4] = {
    {-1.0f, -1.0f, 1.0f, 0.0f, 1.0f},
    {-1.0f, 1.0f, 1.0f, 0.0f, 0.0f},
    {1.0f, -1.0f, 1.0f, 1.0f, 1.0f},
    {1.0f, 1.0f, 1.0f, 1.0f, 0.0f},
};
static_assert(sizeof(kClipSpaceQuad) == 80, "four vertices of 20 bytes");

// Orthographic projection of width and height 2, depth 0..1, with world and view identity:
// the quad's clip-space corners land on the target's corners.
void setScreenQuadTransforms(IDirect3DDevice9* device);
