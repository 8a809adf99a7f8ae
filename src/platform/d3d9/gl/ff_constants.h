// The per-draw values every fixed-function program reads, as three arrays of vec4 (see
// ff_glsl.cpp for the names), and how they are filled from the Direct3D state: the draw array
// changes per draw (transforms, material, points), the light array holds the lights in camera
// space, the texture array the texture matrices.
#pragma once

#include "platform/d3d9/core/device_state.h"

namespace d3dgl {

// The device core's types read as this backend's own.
using namespace d3dcore;

struct FfDrawBlock {
    float worldView[16];
    float projection[16];
    float normalMatrix[16];
    float materialDiffuse[4];
    float materialAmbient[4];
    float materialSpecular[4];
    float materialEmissive[4];
    float globalAmbient[4];
    float textureFactor[4];
    float viewport[4];      // X, Y, Width, Height in pixels
    float misc[4];          // material power, alpha reference (0..255), MinZ, MaxZ
    float pointSize[4];     // size, minimum, maximum (capped by the device limit)
    float pointScale[4];    // A, B, C
};

struct FfLightData {
    float diffuse[4];
    float specular[4];
    float ambient[4];
    float position[4];      // camera space; w = range
    float direction[4];     // camera space, unit length; w = falloff
    float attenuation[4];   // a0, a1, a2
    float spot[4];          // cos(theta / 2), cos(phi / 2)
};

struct FfLightBlock {
    FfLightData lights[D3D_MAX_LIGHTS];
};

struct FfTextureBlock {
    float matrices[D3D_MAX_STAGES][16];
};

static_assert(sizeof(FfDrawBlock) == 22 * 16 && sizeof(FfLightBlock) == 56 * 16 && sizeof(FfTextureBlock) == 32 * 16,
              "the shaders declare these lengths");

void fillDrawBlock(const DeviceState& state, float maxPointSize, FfDrawBlock* block);
// Only the three matrices of the draw array: all that changes between most draws.
void fillDrawTransforms(const DeviceState& state, FfDrawBlock* block);
// Enabled lights in index order, as the program key lists them.
void fillLightBlock(const DeviceState& state, FfLightBlock* block);
void fillTextureBlock(const DeviceState& state, FfTextureBlock* block);

// Row-vector matrix product a·b.
D3DMATRIX multiply(const D3DMATRIX& a, const D3DMATRIX& b);
// The matrix that carries normals: transpose of the inverse of the upper 3 × 3 (identity when
// that is singular).
D3DMATRIX normalMatrixOf(const D3DMATRIX& m);

} // namespace d3dgl
