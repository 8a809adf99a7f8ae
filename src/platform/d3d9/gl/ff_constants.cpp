// Filling the fixed-function uniform blocks from the Direct3D state (see ff_constants.h).
#include "platform/d3d9/gl/ff_constants.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace d3dgl {

namespace {

void colorOf(D3DCOLOR color, float out[4])
{
    out[0] = ((color >> 16) & 0xFF) / 255.0f;
    out[1] = ((color >> 8) & 0xFF) / 255.0f;
    out[2] = (color & 0xFF) / 255.0f;
    out[3] = ((color >> 24) & 0xFF) / 255.0f;
}

void colorOf(const D3DCOLORVALUE& color, float out[4])
{
    out[0] = color.r;
    out[1] = color.g;
    out[2] = color.b;
    out[3] = color.a;
}

// Direct3D matrices go up unchanged: their memory order is the column-major storage of the
// transposed matrix, so the shader's G * v equals the row-vector product v · M.
void store(const D3DMATRIX& m, float out[16]) { std::memcpy(out, &m, sizeof(float) * 16); }

// Inlined where the draw array is filled, so the matrix just multiplied stays in registers.
inline D3DMATRIX normalMatrixInline(const D3DMATRIX& m)
{
    // Cofactors of the upper 3 × 3; the inverse transpose is cofactor / determinant.
    const float c00 = m.m[1][1] * m.m[2][2] - m.m[1][2] * m.m[2][1];
    const float c01 = m.m[1][2] * m.m[2][0] - m.m[1][0] * m.m[2][2];
    const float c02 = m.m[1][0] * m.m[2][1] - m.m[1][1] * m.m[2][0];
    const float c10 = m.m[0][2] * m.m[2][1] - m.m[0][1] * m.m[2][2];
    const float c11 = m.m[0][0] * m.m[2][2] - m.m[0][2] * m.m[2][0];
    const float c12 = m.m[0][1] * m.m[2][0] - m.m[0][0] * m.m[2][1];
    const float c20 = m.m[0][1] * m.m[1][2] - m.m[0][2] * m.m[1][1];
    const float c21 = m.m[0][2] * m.m[1][0] - m.m[0][0] * m.m[1][2];
    const float c22 = m.m[0][0] * m.m[1][1] - m.m[0][1] * m.m[1][0];
    const float determinant = m.m[0][0] * c00 + m.m[0][1] * c01 + m.m[0][2] * c02;
    D3DMATRIX r = identityMatrix();
    if (std::fabs(determinant) < 1e-30f) return r;
    const float s = 1.0f / determinant;
    r.m[0][0] = c00 * s; r.m[0][1] = c01 * s; r.m[0][2] = c02 * s;
    r.m[1][0] = c10 * s; r.m[1][1] = c11 * s; r.m[1][2] = c12 * s;
    r.m[2][0] = c20 * s; r.m[2][1] = c21 * s; r.m[2][2] = c22 * s;
    return r;
}

} // namespace

D3DMATRIX multiply(const D3DMATRIX& a, const D3DMATRIX& b)
{
    D3DMATRIX r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    return r;
}

D3DMATRIX normalMatrixOf(const D3DMATRIX& m) { return normalMatrixInline(m); }

void fillDrawTransforms(const DeviceState& state, FfDrawBlock* block)
{
    const D3DMATRIX worldView = multiply(state.world, state.view);
    store(worldView, block->worldView);
    store(state.projection, block->projection);
    store(normalMatrixInline(worldView), block->normalMatrix);
}

void fillDrawBlock(const DeviceState& state, float maxPointSize, FfDrawBlock* block)
{
    fillDrawTransforms(state, block);
    colorOf(state.material.Diffuse, block->materialDiffuse);
    colorOf(state.material.Ambient, block->materialAmbient);
    colorOf(state.material.Specular, block->materialSpecular);
    colorOf(state.material.Emissive, block->materialEmissive);
    colorOf(state.rs(D3DRS_AMBIENT), block->globalAmbient);
    colorOf(state.rs(D3DRS_TEXTUREFACTOR), block->textureFactor);
    block->viewport[0] = static_cast<float>(state.viewport.X);
    block->viewport[1] = static_cast<float>(state.viewport.Y);
    block->viewport[2] = static_cast<float>(state.viewport.Width);
    block->viewport[3] = static_cast<float>(state.viewport.Height);
    block->misc[0] = state.material.Power;
    block->misc[1] = static_cast<float>(state.rs(D3DRS_ALPHAREF) & 0xFF);
    block->misc[2] = state.viewport.MinZ;
    block->misc[3] = state.viewport.MaxZ;
    block->pointSize[0] = state.rsFloat(D3DRS_POINTSIZE);
    block->pointSize[1] = state.rsFloat(D3DRS_POINTSIZE_MIN);
    block->pointSize[2] = std::min(state.rsFloat(D3DRS_POINTSIZE_MAX), maxPointSize);
    block->pointSize[3] = 0.0f;
    block->pointScale[0] = state.rsFloat(D3DRS_POINTSCALE_A);
    block->pointScale[1] = state.rsFloat(D3DRS_POINTSCALE_B);
    block->pointScale[2] = state.rsFloat(D3DRS_POINTSCALE_C);
    block->pointScale[3] = 0.0f;
}

void fillLightBlock(const DeviceState& state, FfLightBlock* block)
{
    const D3DMATRIX& v = state.view;
    int slot = 0;
    for (const LightSlot& entry : state.lights) {
        if (!entry.enabled) continue;
        if (slot == static_cast<int>(D3D_MAX_LIGHTS)) break;
        const D3DLIGHT9& light = entry.light;
        FfLightData& out = block->lights[slot++];
        colorOf(light.Diffuse, out.diffuse);
        colorOf(light.Specular, out.specular);
        colorOf(light.Ambient, out.ambient);
        // Lights are given in world space and follow the view matrix current at draw time.
        const D3DVECTOR& p = light.Position;
        for (int c = 0; c < 3; ++c) out.position[c] = p.x * v.m[0][c] + p.y * v.m[1][c] + p.z * v.m[2][c] + v.m[3][c];
        out.position[3] = light.Range;
        const D3DVECTOR& d = light.Direction;
        float direction[3];
        for (int c = 0; c < 3; ++c) direction[c] = d.x * v.m[0][c] + d.y * v.m[1][c] + d.z * v.m[2][c];
        const float length = std::sqrt(direction[0] * direction[0] + direction[1] * direction[1] + direction[2] * direction[2]);
        for (int c = 0; c < 3; ++c) out.direction[c] = length > 0.0f ? direction[c] / length : 0.0f;
        out.direction[3] = light.Falloff;
        out.attenuation[0] = light.Attenuation0;
        out.attenuation[1] = light.Attenuation1;
        out.attenuation[2] = light.Attenuation2;
        out.attenuation[3] = 0.0f;
        out.spot[0] = std::cos(light.Theta * 0.5f);
        out.spot[1] = std::cos(light.Phi * 0.5f);
        out.spot[2] = out.spot[3] = 0.0f;
    }
    for (; slot < static_cast<int>(D3D_MAX_LIGHTS); ++slot) block->lights[slot] = FfLightData{};
}

void fillTextureBlock(const DeviceState& state, FfTextureBlock* block)
{
    for (DWORD stage = 0; stage < D3D_MAX_STAGES; ++stage) store(state.textureMatrices[stage], block->matrices[stage]);
}

} // namespace d3dgl
