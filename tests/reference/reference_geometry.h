// Matrices, textures, meshes and quads the reference cases are built from, all expressed
// through the device API (row vectors, left-handed, like the D3DX helpers).
#pragma once

#include "platform/d3d9/d3d9.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace ref {

D3DMATRIX identity();
D3DMATRIX multiply(const D3DMATRIX& a, const D3DMATRIX& b);
D3DMATRIX translation(float x, float y, float z);
D3DMATRIX scaling(float x, float y, float z);
D3DMATRIX rotationX(float angle);
D3DMATRIX rotationY(float angle);
D3DMATRIX perspectiveFovLH(float fovY, float aspect, float zNear, float zFar);
D3DMATRIX lookAtLH(D3DVECTOR eye, D3DVECTOR at, D3DVECTOR up);
// World (x, y) lands on screen (x, y) of a width × height target.
D3DMATRIX orthoScreen(float width, float height);
// 2-D texture transform (translation in the third row): scale about the centre, then offset.
D3DMATRIX textureScaleOffset(float su, float sv, float ou, float ov);
D3DMATRIX textureOffset(float du, float dv);

// Deterministic per-texel noise in 0..255.
std::uint8_t noise(unsigned x, unsigned y, unsigned seed);

// A managed texture whose texel (x, y) of each level is texel(level, x, y) as 0xAARRGGBB
// (L8 takes the red byte). levels 0 builds the full chain.
IDirect3DTexture9* makeTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT levels, D3DFORMAT format,
                               const std::function<D3DCOLOR(UINT level, UINT x, UINT y)>& texel);

struct ColourTexVertex {
    float x, y, z;
    D3DCOLOR colour;
    float u, v;
};
constexpr DWORD kColourTexFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

struct LitVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};
constexpr DWORD kLitFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

struct LitVertex2 {
    float x, y, z;
    float nx, ny, nz;
    float u0, v0;
    float u1, v1;
};
constexpr DWORD kLit2Fvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX2;

struct ColourVertex {
    float x, y, z;
    D3DCOLOR colour;
};
constexpr DWORD kColourFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE;

// A 4-vertex strip from (x0, y0) to (x1, y1) (sets the FVF).
void drawQuad(IDirect3DDevice9* device, float x0, float y0, float x1, float y1, float z, float u0, float v0, float u1,
              float v1, D3DCOLOR colour = 0xFFFFFFFF);
// The same with one colour per corner: top-left, top-right, bottom-left, bottom-right.
void drawQuadColours(IDirect3DDevice9* device, float x0, float y0, float x1, float y1, float z,
                     const D3DCOLOR corners[4]);

template <typename Vertex>
struct Mesh {
    std::vector<Vertex> vertices;
    std::vector<std::uint16_t> indices;
};

Mesh<LitVertex> sphere(float radius, unsigned rings, unsigned segments);
// A cone around the z axis: apex at z = 0 pointing at -z, base circle of `radius` at z = height.
Mesh<LitVertex> cone(float radius, float height, unsigned rings, unsigned segments);
// A grid in the xz plane at y, normals up, (cells × cells) quads of `size`, uv tiled `tiles` times.
Mesh<LitVertex> floorGrid(float size, float y, unsigned cells, float tiles);

// Uploads to managed buffers, draws as an indexed triangle list, releases.
template <typename Vertex>
void drawMesh(IDirect3DDevice9* device, const Mesh<Vertex>& mesh, DWORD fvf);

} // namespace ref
