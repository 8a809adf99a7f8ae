// The reference cases. Each draws one frame (vector 15: two) and presents it; geometry
// edges sit on half-pixel positions or at generic angles so that no edge runs exactly
// through pixel centres, where rasterisers may legally break ties differently.
#include "reference/reference_cases.h"

#include "reference/lit_quad_scene.h"
#include "reference/reference_geometry.h"

#include <algorithm>
#include <cmath>

namespace {

using namespace ref;

constexpr float kPi = 3.14159265358979f;

void begin(IDirect3DDevice9* d, D3DCOLOR background)
{
    d->BeginScene();
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, background, 1.0f, 0);
}

void end(IDirect3DDevice9* d)
{
    d->EndScene();
    d->Present(nullptr, nullptr, nullptr, nullptr);
}

void screenSpace(IDirect3DDevice9* d, float width, float height)
{
    const D3DMATRIX ortho = orthoScreen(width, height);
    const D3DMATRIX id = identity();
    d->SetTransform(D3DTS_WORLD, &id);
    d->SetTransform(D3DTS_VIEW, &id);
    d->SetTransform(D3DTS_PROJECTION, &ortho);
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
}

void identityTransforms(IDirect3DDevice9* d)
{
    const D3DMATRIX id = identity();
    d->SetTransform(D3DTS_WORLD, &id);
    d->SetTransform(D3DTS_VIEW, &id);
    d->SetTransform(D3DTS_PROJECTION, &id);
}

void camera(IDirect3DDevice9* d, D3DVECTOR eye, D3DVECTOR at, float aspect)
{
    const D3DMATRIX view = lookAtLH(eye, at, {0.0f, 1.0f, 0.0f});
    const D3DMATRIX projection = perspectiveFovLH(kPi / 3.0f, aspect, 0.5f, 50.0f);
    d->SetTransform(D3DTS_VIEW, &view);
    d->SetTransform(D3DTS_PROJECTION, &projection);
}

void setWorld(IDirect3DDevice9* d, const D3DMATRIX& world)
{
    d->SetTransform(D3DTS_WORLD, &world);
}

void filters(IDirect3DDevice9* d, DWORD sampler, DWORD min, DWORD mag, DWORD mip, DWORD address)
{
    d->SetSamplerState(sampler, D3DSAMP_MINFILTER, min);
    d->SetSamplerState(sampler, D3DSAMP_MAGFILTER, mag);
    d->SetSamplerState(sampler, D3DSAMP_MIPFILTER, mip);
    d->SetSamplerState(sampler, D3DSAMP_ADDRESSU, address);
    d->SetSamplerState(sampler, D3DSAMP_ADDRESSV, address);
}

void stage(IDirect3DDevice9* d, DWORD s, DWORD colourOp, DWORD arg1, DWORD arg2, DWORD alphaOp, DWORD alphaArg1,
           DWORD alphaArg2 = D3DTA_CURRENT)
{
    d->SetTextureStageState(s, D3DTSS_COLOROP, colourOp);
    d->SetTextureStageState(s, D3DTSS_COLORARG1, arg1);
    d->SetTextureStageState(s, D3DTSS_COLORARG2, arg2);
    d->SetTextureStageState(s, D3DTSS_ALPHAOP, alphaOp);
    d->SetTextureStageState(s, D3DTSS_ALPHAARG1, alphaArg1);
    d->SetTextureStageState(s, D3DTSS_ALPHAARG2, alphaArg2);
}

D3DLIGHT9 directional(D3DCOLORVALUE diffuse, D3DCOLORVALUE specular, D3DVECTOR direction)
{
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = diffuse;
    light.Specular = specular;
    light.Direction = direction;
    return light;
}

D3DMATERIAL9 material(D3DCOLORVALUE diffuse, D3DCOLORVALUE ambient, D3DCOLORVALUE specular, float power)
{
    return D3DMATERIAL9{diffuse, ambient, specular, {0.0f, 0.0f, 0.0f, 0.0f}, power};
}

// Stripes and a cross: easy to see orientation, scale and offset in.
D3DCOLOR patternTexel(UINT x, UINT y, UINT size)
{
    const bool stripe = ((x * 8 / size) + (y * 8 / size)) % 2 == 0;
    const bool marker = x < size / 4 && y < size / 4;
    if (marker)
        return 0xFFFF2020;
    return stripe ? D3DCOLOR_XRGB(230, 200, 120 + 100 * x / size) : D3DCOLOR_XRGB(40, 90 + 120 * y / size, 160);
}

// ---------------------------------------------------------------------------------------------

void diffuseMapModulate(IDirect3DDevice9* d)
{
    // Colours per level make the chosen level visible: level 0 is a checker.
    static const D3DCOLOR levelColours[7] = {0, 0xFF40C040, 0xFF4040E0, 0xFFE0E040, 0xFFE040E0, 0xFF40E0E0, 0xFFFFFFFF};
    IDirect3DTexture9* texture = makeTexture(d, 64, 64, 0, D3DFMT_A8R8G8B8, [](UINT level, UINT x, UINT y) {
        if (level == 0)
            return ((x / 8 + y / 8) % 2) ? D3DCOLOR_XRGB(240, 140, 60) : D3DCOLOR_XRGB(250, 250, 250);
        return levelColours[level];
    });
    begin(d, 0xFF202020);
    screenSpace(d, 256, 256);
    d->SetTexture(0, texture);
    stage(d, 0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TEXTURE);
    filters(d, 0, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_POINT, D3DTADDRESS_WRAP);
    d->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 0);
    const D3DCOLOR shades[4] = {0xFFFFFFFF, 0xFFFFFF80, 0xFF80FFFF, 0xFFFFFFFF};
    const ColourTexVertex big[4] = {{7.5f, 7.5f, 0, shades[0], 0, 0}, {71.5f, 7.5f, 0, shades[1], 1, 0},
                                    {7.5f, 71.5f, 0, shades[2], 0, 1}, {71.5f, 71.5f, 0, shades[3], 1, 1}};
    d->SetFVF(kColourTexFvf);
    d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, big, sizeof(ColourTexVertex)); // level 0, 1:1
    drawQuad(d, 95.5f, 7.5f, 127.5f, 39.5f, 0, 0, 0, 1, 1, 0xFFFFFFFF);     // 2:1 → level 1
    drawQuad(d, 151.5f, 7.5f, 167.5f, 23.5f, 0, 0, 0, 1, 1, 0xFFFFC0C0);    // 4:1 → level 2
    drawQuad(d, 191.5f, 7.5f, 199.5f, 15.5f, 0, 0, 0, 1, 1, 0xFFFFFFFF);    // 8:1 → level 3
    drawQuad(d, 7.5f, 95.5f, 135.5f, 223.5f, 0, 0, 0, 2, 2, 0xFFC0C0FF);    // magnified, wrapped
    drawQuad(d, 151.5f, 95.5f, 247.5f, 143.5f, 0, 0, 0, 3, 1.5f, 0xFFFFFFFF); // 2:1 with wrap
    end(d);
    d->SetTexture(0, nullptr);
    texture->Release();
}

void sphereMapAddSmooth(IDirect3DDevice9* d)
{
    IDirect3DTexture9* base = makeTexture(d, 32, 32, 1, D3DFMT_X8R8G8B8, [](UINT, UINT x, UINT y) {
        return ((x / 4) % 2) ? D3DCOLOR_XRGB(90, 40, 30) : D3DCOLOR_XRGB(30, 40 + 2 * y, 70);
    });
    // Smooth on purpose: the generated coordinates change fast across the cones, so thin
    // details would turn sub-pixel placement differences into large colour differences.
    IDirect3DTexture9* environment = makeTexture(d, 64, 64, 1, D3DFMT_X8R8G8B8, [](UINT, UINT x, UINT y) {
        const int dx = static_cast<int>(x) - 40, dy = static_cast<int>(y) - 24;
        const int spot = std::max(0, 120 - (dx * dx + dy * dy) / 3);
        return D3DCOLOR_XRGB(std::min(255, 3 * static_cast<int>(x) + spot), std::min(255, 3 * static_cast<int>(y) + spot),
                             std::min(255, 160 + spot / 2));
    });
    begin(d, 0xFF101018);
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    camera(d, {0, 0, 0}, {0, 0, 1}, 1.0f);
    d->SetTexture(0, base);
    d->SetTexture(1, environment);
    stage(d, 0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_DIFFUSE);
    stage(d, 1, D3DTOP_ADDSMOOTH, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_CURRENT);
    d->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_SPHEREMAP | 1);
    filters(d, 0, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_NONE, D3DTADDRESS_WRAP);
    filters(d, 1, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_NONE, D3DTADDRESS_CLAMP);
    const Mesh<LitVertex> shape = cone(1.1f, 1.1f, 10, 48);
    setWorld(d, translation(-1.25f, 0.35f, 4.0f));
    drawMesh(d, shape, kLitFvf);
    setWorld(d, multiply(rotationY(0.55f), translation(1.3f, -0.3f, 4.3f)));
    drawMesh(d, shape, kLitFvf);
    setWorld(d, multiply(rotationX(-0.7f), translation(0.0f, -1.5f, 5.0f)));
    drawMesh(d, shape, kLitFvf);
    end(d);
    d->SetTexture(0, nullptr);
    d->SetTexture(1, nullptr);
    base->Release();
    environment->Release();
}

void specularMapMultiplyAdd(IDirect3DDevice9* d)
{
    IDirect3DTexture9* diffuse = makeTexture(d, 64, 64, 1, D3DFMT_X8R8G8B8,
                                             [](UINT, UINT x, UINT y) { return patternTexel(x, y, 64); });
    IDirect3DTexture9* glossMap = makeTexture(d, 32, 32, 1, D3DFMT_X8R8G8B8, [](UINT, UINT x, UINT y) {
        return ((x / 4 + y / 8) % 2) ? D3DCOLOR_XRGB(255, 255, 255) : D3DCOLOR_XRGB(40, 60, 90);
    });
    begin(d, 0xFF000000);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d->SetRenderState(D3DRS_AMBIENT, 0x00202020);
    camera(d, {0, 0, 0}, {0, 0, 1}, 1.0f);
    const D3DLIGHT9 light = directional({0.9f, 0.85f, 0.8f, 1}, {1, 1, 1, 1}, {-0.45f, -0.55f, 0.7f});
    d->SetLight(0, &light);
    d->LightEnable(0, TRUE);
    const D3DMATERIAL9 m = material({1, 1, 1, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}, 14.0f);
    d->SetMaterial(&m);
    d->SetTexture(0, diffuse);
    d->SetTexture(1, glossMap);
    stage(d, 0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_DIFFUSE);
    stage(d, 1, D3DTOP_MULTIPLYADD, D3DTA_SPECULAR, D3DTA_TEXTURE, D3DTOP_SELECTARG1, D3DTA_CURRENT);
    d->SetTextureStageState(1, D3DTSS_COLORARG0, D3DTA_CURRENT);
    d->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
    filters(d, 0, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_NONE, D3DTADDRESS_WRAP);
    filters(d, 1, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_NONE, D3DTADDRESS_WRAP);
    const Mesh<LitVertex> ball = sphere(1.0f, 24, 48);
    // Left: highlights on (the stage reads the lit specular, and it is added again after
    // the cascade). Right: highlights off (the stage reads the vertex specular, absent here).
    d->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    setWorld(d, multiply(rotationY(0.4f), translation(-1.15f, 0.0f, 4.0f)));
    drawMesh(d, ball, kLitFvf);
    d->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
    setWorld(d, multiply(rotationY(0.4f), translation(1.15f, 0.0f, 4.0f)));
    drawMesh(d, ball, kLitFvf);
    end(d);
    d->SetTexture(0, nullptr);
    d->SetTexture(1, nullptr);
    diffuse->Release();
    glossMap->Release();
}

void additiveMapAdd(IDirect3DDevice9* d)
{
    IDirect3DTexture9* base = makeTexture(d, 64, 64, 1, D3DFMT_X8R8G8B8,
                                          [](UINT, UINT x, UINT y) { return patternTexel(x, y, 64); });
    IDirect3DTexture9* glow = makeTexture(d, 32, 32, 1, D3DFMT_A8R8G8B8, [](UINT, UINT x, UINT y) {
        const int dx = static_cast<int>(x % 16) - 8, dy = static_cast<int>(y % 16) - 8;
        const int r2 = dx * dx + dy * dy;
        const unsigned v = r2 < 40 ? 200 - 5 * r2 : 0;
        return D3DCOLOR_ARGB(255, v / 3, v, v / 2);
    });
    begin(d, 0xFF000000);
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    camera(d, {0, 3.5f, 0.0f}, {0, 0, 4.5f}, 1.0f);
    setWorld(d, identity());
    d->SetTexture(0, base);
    d->SetTexture(1, glow);
    stage(d, 0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_DIFFUSE);
    stage(d, 1, D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_CURRENT);
    d->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
    filters(d, 0, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_NONE, D3DTADDRESS_WRAP);
    filters(d, 1, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_NONE, D3DTADDRESS_WRAP);
    const float z0 = 1.5f, z1 = 8.0f;
    // Textures stay magnified everywhere: minification without mip maps aliases.
    const ColourTexVertex plane[4] = {{-3.3f, 0, z1, 0xFFFFFFFF, 0, 0},
                                      {3.3f, 0, z1, 0xFFC0C0FF, 1, 0},
                                      {-3.3f, 0, z0, 0xFFFFE0A0, 0, 1},
                                      {3.3f, 0, z0, 0xFFFFFFFF, 1, 1}};
    d->SetFVF(kColourTexFvf);
    d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, plane, sizeof(ColourTexVertex));
    setWorld(d, multiply(rotationY(0.6f), translation(0.4f, 1.2f, 4.5f)));
    drawQuad(d, -1.0f, 1.0f, 1.0f, -1.0f, 0, 0, 0, 1, 1, 0xFF808080);
    end(d);
    d->SetTexture(0, nullptr);
    d->SetTexture(1, nullptr);
    base->Release();
    glow->Release();
}

void lightMapSet1SelectArg1(IDirect3DDevice9* d)
{
    IDirect3DTexture9* lightMap = makeTexture(d, 16, 16, 1, D3DFMT_X8R8G8B8, [](UINT, UINT x, UINT y) {
        const int dx = static_cast<int>(x) - 5, dy = static_cast<int>(y) - 10;
        const int v = 255 - 12 * (dx * dx + dy * dy) / 4;
        const unsigned level = static_cast<unsigned>(v < 40 ? 40 : v);
        return D3DCOLOR_XRGB(level, level * 9 / 10, level * 7 / 10);
    });
    IDirect3DTexture9* base = makeTexture(d, 32, 32, 1, D3DFMT_X8R8G8B8,
                                          [](UINT, UINT x, UINT y) { return patternTexel(x, y, 32); });
    begin(d, 0xFF000000);
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    camera(d, {0, 0, -3.2f}, {0, 0, 0}, 1.0f);
    setWorld(d, rotationY(0.35f));
    d->SetTexture(0, lightMap);
    d->SetTexture(1, base);
    stage(d, 0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_DIFFUSE);
    d->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 1);
    stage(d, 1, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_CURRENT);
    d->SetTextureStageState(1, D3DTSS_TEXCOORDINDEX, 0);
    filters(d, 0, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_NONE, D3DTADDRESS_CLAMP);
    filters(d, 1, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_NONE, D3DTADDRESS_WRAP);
    Mesh<LitVertex2> wall;
    for (unsigned r = 0; r <= 1; ++r)
        for (unsigned c = 0; c <= 1; ++c) {
            const float fx = static_cast<float>(c), fy = static_cast<float>(r);
            wall.vertices.push_back({-1.3f + 2.6f * fx, 1.3f - 2.6f * fy, 0, 0, 0, -1, 3 * fx, 3 * fy, fx, fy});
        }
    wall.indices = {0, 1, 2, 2, 1, 3};
    drawMesh(d, wall, kLit2Fvf);
    end(d);
    d->SetTexture(0, nullptr);
    d->SetTexture(1, nullptr);
    lightMap->Release();
    base->Release();
}

void textureTransformCount2(IDirect3DDevice9* d)
{
    IDirect3DTexture9* texture = makeTexture(d, 32, 32, 1, D3DFMT_X8R8G8B8,
                                             [](UINT, UINT x, UINT y) { return patternTexel(x, y, 32); });
    begin(d, 0xFF000000);
    screenSpace(d, 256, 256);
    d->SetTexture(0, texture);
    stage(d, 0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_SELECTARG1, D3DTA_TEXTURE);
    filters(d, 0, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_NONE, D3DTADDRESS_WRAP);
    d->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    // Scale about the centre, then offset (u subtracted, v added).
    const D3DMATRIX scaled = textureScaleOffset(2.0f, 0.5f, 0.1f, 0.2f);
    d->SetTransform(D3DTS_TEXTURE0, &scaled);
    drawQuad(d, 7.5f, 7.5f, 119.5f, 119.5f, 0, 0, 0, 1, 1);
    // A rotation in the upper 2 × 2 with its translation in the third row.
    D3DMATRIX rotated = identity();
    const float c = std::cos(0.5f), s = std::sin(0.5f);
    rotated._11 = c;
    rotated._12 = s;
    rotated._21 = -s;
    rotated._22 = c;
    rotated._31 = 0.3f;
    rotated._32 = -0.15f;
    rotated._41 = 5.0f; // fourth row: no effect on 2-D coordinates
    rotated._42 = 7.0f;
    d->SetTransform(D3DTS_TEXTURE0, &rotated);
    drawQuad(d, 135.5f, 7.5f, 247.5f, 119.5f, 0, 0, 0, 1, 1);
    // The same matrix while the flags say DISABLE: ignored.
    d->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    drawQuad(d, 7.5f, 135.5f, 119.5f, 247.5f, 0, 0, 0, 1, 1);
    // Coordinates (u, v) enter as (u, v, 1, 0): a COUNT2 matrix with only m31/m32 set moves.
    d->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    const D3DMATRIX shifted = textureOffset(0.25f, 0.5f);
    d->SetTransform(D3DTS_TEXTURE0, &shifted);
    drawQuad(d, 135.5f, 135.5f, 247.5f, 247.5f, 0, 0, 0, 1, 1);
    end(d);
    d->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    d->SetTexture(0, nullptr);
    texture->Release();
}

void tfactorWithoutTexture(IDirect3DDevice9* d)
{
    begin(d, 0xFF000000);
    screenSpace(d, 256, 256);
    const D3DCOLOR ramp[4] = {0xFF102040, 0xFF403010, 0xFF205030, 0xFF601050};
    stage(d, 0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_DIFFUSE);
    drawQuadColours(d, -0.5f, -0.5f, 255.5f, 255.5f, 0, ramp);
    // The glow colour: stage 0 selects the texture factor, no texture anywhere.
    d->SetTexture(0, nullptr);
    stage(d, 0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_TFACTOR);
    d->SetRenderState(D3DRS_TEXTUREFACTOR, 0x80FF8020);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    ColourVertex fan[34];
    fan[0] = {80.3f, 90.7f, 0, 0xFF0000FF};
    for (int k = 0; k <= 32; ++k) {
        const float a = 2.0f * kPi * static_cast<float>(k) / 32.0f;
        fan[k + 1] = {80.3f + 60.0f * std::cos(a), 90.7f + 60.0f * std::sin(a), 0, 0xFF0000FF};
    }
    d->SetFVF(kColourFvf);
    d->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 32, fan, sizeof(ColourVertex));
    d->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF204080);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    drawQuad(d, 140.5f, 30.5f, 230.5f, 120.5f, 0, 0, 0, 1, 1, 0xFFFF0000);
    // Nothing resets the stage: a later draw with vertex colours still shows the factor.
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    d->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF30E0A0);
    const D3DCOLOR red[4] = {0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000};
    drawQuadColours(d, 40.5f, 170.5f, 215.5f, 230.5f, 0, red);
    end(d);
}

void blendOps(IDirect3DDevice9* d)
{
    begin(d, 0xFF000000);
    screenSpace(d, 256, 256);
    stage(d, 0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_DIFFUSE);
    const D3DCOLOR background[4] = {0xFF204060, 0xFFA0C0E0, 0xFF406080, 0xFFE0A060};
    drawQuadColours(d, -0.5f, -0.5f, 255.5f, 255.5f, 0, background);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    // Object minus background on an X8 target: src·As − dst (DESTALPHA reads as 1), clamped.
    d->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_SUBTRACT);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_DESTALPHA);
    const D3DCOLOR object[4] = {0xFFFFFFFF, 0x80FFFFFF, 0xFFFF8000, 0x4000FF80};
    drawQuadColours(d, 15.5f, 15.5f, 115.5f, 240.5f, 0, object);
    // Additive: ONE/ONE.
    d->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    const D3DCOLOR light[4] = {0xFF402000, 0x00004080, 0xFF800040, 0xFF303030};
    drawQuadColours(d, 140.5f, 15.5f, 240.5f, 240.5f, 0, light);
    end(d);
}

void pointSpritesAdditive(IDirect3DDevice9* d)
{
    IDirect3DTexture9* blob = makeTexture(d, 32, 32, 1, D3DFMT_A8R8G8B8, [](UINT, UINT x, UINT y) {
        const float dx = (static_cast<float>(x) - 15.5f) / 15.5f, dy = (static_cast<float>(y) - 15.5f) / 15.5f;
        const float fall = std::fmax(0.0f, 1.0f - (dx * dx + dy * dy));
        const unsigned v = static_cast<unsigned>(255.0f * fall * fall);
        const unsigned corner = (x < 8 && y < 8) ? 120 : 0; // shows the sprite's orientation
        return D3DCOLOR_ARGB(v, v, v > corner ? v : corner, v);
    });
    begin(d, 0xFF000010);
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    camera(d, {0, 0, 0}, {0, 0, 1}, 1.0f);
    setWorld(d, identity());
    d->SetTexture(0, blob);
    stage(d, 0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE);
    filters(d, 0, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_NONE, D3DTADDRESS_CLAMP);
    d->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    d->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    d->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
    d->SetRenderState(D3DRS_POINTSIZE, d3dFloatBits(0.55f));
    d->SetRenderState(D3DRS_POINTSIZE_MIN, d3dFloatBits(0.0f));
    d->SetRenderState(D3DRS_POINTSIZE_MAX, d3dFloatBits(64.0f));
    d->SetRenderState(D3DRS_POINTSCALE_A, d3dFloatBits(0.0f));
    d->SetRenderState(D3DRS_POINTSCALE_B, d3dFloatBits(0.0f));
    d->SetRenderState(D3DRS_POINTSCALE_C, d3dFloatBits(1.0f));
    std::vector<ColourVertex> points;
    for (int k = 0; k < 40; ++k) {
        const float t = static_cast<float>(k) / 40.0f;
        const float angle = 9.0f * t + 0.3f;
        const float radius = 0.4f + 1.6f * t;
        const float z = 4.2f + 7.3f * t;
        const unsigned r = 80 + 170 * (k % 3 == 0), g = 60 + 150 * (k % 3 == 1), b = 90 + 160 * (k % 3 == 2);
        points.push_back({radius * std::cos(angle) + 0.013f * k, radius * std::sin(angle) - 0.021f * k, z,
                          D3DCOLOR_XRGB(r, g, b)});
    }
    d->SetFVF(kColourFvf);
    d->DrawPrimitiveUP(D3DPT_POINTLIST, static_cast<UINT>(points.size()), points.data(), sizeof(ColourVertex));
    end(d);
    d->SetRenderState(D3DRS_POINTSPRITEENABLE, FALSE);
    d->SetRenderState(D3DRS_POINTSCALEENABLE, FALSE);
    d->SetTexture(0, nullptr);
    blob->Release();
}

IDirect3DTexture9* renderTargetTexture(IDirect3DDevice9* d, UINT size, IDirect3DSurface9** surface)
{
    IDirect3DTexture9* texture = nullptr;
    d->CreateTexture(size, size, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &texture, nullptr);
    texture->GetSurfaceLevel(0, surface);
    return texture;
}

// A full-target quad sampling `source` with a texture-space offset.
void fullTargetPass(IDirect3DDevice9* d, float offsetU, float offsetV)
{
    identityTransforms(d);
    d->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    const D3DMATRIX shift = textureOffset(offsetU, offsetV);
    d->SetTransform(D3DTS_TEXTURE0, &shift);
    drawQuad(d, -1, 1, 1, -1, 0.5f, 0, 0, 1, 1);
    d->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
}

void glowChain(IDirect3DDevice9* d)
{
    IDirect3DSurface9* back = nullptr;
    IDirect3DSurface9* autoDepth = nullptr;
    d->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    d->GetDepthStencilSurface(&autoDepth);
    IDirect3DSurface9* bigDepth = nullptr;
    d->CreateDepthStencilSurface(512, 512, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, TRUE, &bigDepth, nullptr);
    IDirect3DSurface9 *full = nullptr, *half = nullptr, *small = nullptr;
    IDirect3DTexture9* fullTexture = renderTargetTexture(d, 512, &full);
    IDirect3DTexture9* halfTexture = renderTargetTexture(d, 256, &half);
    IDirect3DTexture9* smallTexture = renderTargetTexture(d, 64, &small);

    d->BeginScene();
    // The scene, at 512 × 512: shapes whose edges fall on multiples of 8 pixels, so every
    // 2 × 2 (and 4 × 4) block the chain averages is either inside or outside a shape and the
    // comparison measures the chain itself, not how a silhouette happens to be rasterised.
    d->SetRenderTarget(0, full);
    d->SetDepthStencilSurface(bigDepth);
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    screenSpace(d, 512, 512);
    stage(d, 0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_DIFFUSE);
    const D3DCOLOR block[4] = {0xFFFFD040, 0xFFFF8020, 0xFFC04010, 0xFFFF6000};
    drawQuadColours(d, 63.5f, 95.5f, 191.5f, 351.5f, 0, block);
    const D3DCOLOR bar[4] = {0xFF2080FF, 0xFF2080FF, 0xFF80FF40, 0xFF80FF40};
    drawQuadColours(d, 327.5f, 63.5f, 375.5f, 455.5f, 0, bar);
    const D3DCOLOR dot[4] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    drawQuadColours(d, 415.5f, 399.5f, 431.5f, 415.5f, 0, dot);
    const D3DCOLOR dim[4] = {0xFF402060, 0xFF204060, 0xFF602040, 0xFF406020};
    drawQuadColours(d, 215.5f, 375.5f, 295.5f, 479.5f, 0, dim);

    // Downsample 512 → 256: each target pixel is the 2 × 2 average of the source.
    stage(d, 0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_TEXTURE);
    filters(d, 0, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_NONE, D3DTADDRESS_CLAMP);
    d->SetRenderTarget(0, half);
    d->SetTexture(0, fullTexture);
    fullTargetPass(d, 0.5f / 256.0f, 0.5f / 256.0f);
    // 256 → 64.
    d->SetRenderTarget(0, small);
    d->SetTexture(0, halfTexture);
    fullTargetPass(d, 0.5f / 64.0f, 0.5f / 64.0f);

    // Back buffer: the half-size scene 1:1, then four taps of the 64 × 64 glow added on top.
    d->SetRenderTarget(0, back);
    d->SetDepthStencilSurface(autoDepth);
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    screenSpace(d, 256, 256);
    d->SetTexture(0, halfTexture);
    filters(d, 0, D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_NONE, D3DTADDRESS_CLAMP);
    drawQuad(d, -0.5f, -0.5f, 255.5f, 255.5f, 0, 0, 0, 1, 1);

    d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    d->SetRenderState(D3DRS_TEXTUREFACTOR, 0x40404040);
    const float tap = 1.5f / 64.0f;
    const float offsets[4][2] = {{-tap, -tap}, {tap, -tap}, {-tap, tap}, {tap, tap}};
    for (DWORD s = 0; s < 4; ++s) {
        d->SetTexture(s, smallTexture);
        filters(d, s, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_NONE, D3DTADDRESS_CLAMP);
        d->SetTextureStageState(s, D3DTSS_TEXCOORDINDEX, 0);
        d->SetTextureStageState(s, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
        const D3DMATRIX shift = textureOffset(offsets[s][0], offsets[s][1]);
        d->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(D3DTS_TEXTURE0 + s), &shift);
        if (s == 0) {
            stage(d, 0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TFACTOR, D3DTOP_SELECTARG1, D3DTA_TFACTOR);
        } else {
            stage(d, s, D3DTOP_MULTIPLYADD, D3DTA_TEXTURE, D3DTA_TFACTOR, D3DTOP_SELECTARG1, D3DTA_CURRENT);
            d->SetTextureStageState(s, D3DTSS_COLORARG0, D3DTA_CURRENT);
        }
    }
    drawQuad(d, -0.5f, -0.5f, 255.5f, 255.5f, 0, 0, 0, 1, 1);
    d->EndScene();
    d->Present(nullptr, nullptr, nullptr, nullptr);

    for (DWORD s = 0; s < 4; ++s) {
        d->SetTexture(s, nullptr);
        d->SetTextureStageState(s, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    }
    back->Release();
    autoDepth->Release();
    bigDepth->Release();
    full->Release();
    half->Release();
    small->Release();
    fullTexture->Release();
    halfTexture->Release();
    smallTexture->Release();
}

void litMeshThreeLights(IDirect3DDevice9* d)
{
    begin(d, 0xFF000000);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d->SetRenderState(D3DRS_AMBIENT, 0x00181818);
    d->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    camera(d, {0.0f, 3.2f, -2.5f}, {0.0f, -0.6f, 4.0f}, 1.0f);
    D3DLIGHT9 point{};
    point.Type = D3DLIGHT_POINT;
    point.Diffuse = {1.0f, 0.45f, 0.3f, 1};
    point.Specular = {1, 1, 1, 1};
    point.Ambient = {0.1f, 0.0f, 0.0f, 1};
    point.Position = {-1.6f, 0.3f, 4.5f};
    point.Range = 3.2f;
    point.Attenuation0 = 0.3f;
    point.Attenuation1 = 0.35f;
    point.Attenuation2 = 0.08f;
    D3DLIGHT9 spot{};
    spot.Type = D3DLIGHT_SPOT;
    spot.Diffuse = {0.3f, 0.55f, 1.0f, 1};
    spot.Specular = {0.6f, 0.6f, 1.0f, 1};
    spot.Position = {1.6f, 2.6f, 4.2f};
    spot.Direction = {-0.15f, -1.0f, 0.2f};
    spot.Range = 20.0f;
    spot.Falloff = 1.0f;
    spot.Attenuation0 = 1.0f;
    spot.Theta = 0.45f;
    spot.Phi = 0.95f;
    const D3DLIGHT9 sun = directional({0.15f, 0.3f, 0.12f, 1}, {0.2f, 0.2f, 0.2f, 1}, {0.4f, -1.0f, 0.6f});
    d->SetLight(0, &point);
    d->SetLight(1, &spot);
    d->SetLight(2, &sun);
    for (DWORD k = 0; k < 3; ++k)
        d->LightEnable(k, TRUE);
    const D3DMATERIAL9 floorMaterial = material({0.9f, 0.9f, 0.9f, 1}, {0.6f, 0.6f, 0.6f, 1}, {0.5f, 0.5f, 0.5f, 1}, 10);
    d->SetMaterial(&floorMaterial);
    stage(d, 0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_DIFFUSE);
    setWorld(d, translation(0, 0, 4.0f));
    drawMesh(d, floorGrid(7.0f, -1.0f, 48, 1.0f), kLitFvf);
    const D3DMATERIAL9 ballMaterial = material({0.8f, 0.8f, 0.8f, 1}, {1, 1, 1, 1}, {1, 1, 1, 1}, 24);
    d->SetMaterial(&ballMaterial);
    setWorld(d, translation(-0.3f, -0.25f, 4.4f));
    drawMesh(d, sphere(0.75f, 24, 48), kLitFvf);
    end(d);
}

void pixelExactQuad(IDirect3DDevice9* d)
{
    IDirect3DTexture9* texture = makeTexture(d, 64, 64, 1, D3DFMT_A8R8G8B8, [](UINT, UINT x, UINT y) {
        return D3DCOLOR_ARGB(255, noise(x, y, 1), noise(x, y, 2), noise(x, y, 3));
    });
    begin(d, 0xFF000000);
    screenSpace(d, 256, 128);
    d->SetTexture(0, texture);
    stage(d, 0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_TEXTURE);
    filters(d, 0, D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_NONE, D3DTADDRESS_CLAMP);
    // Edges half a pixel up and left: texel k lands exactly on pixel 16 + k.
    drawQuad(d, 15.5f, 15.5f, 79.5f, 79.5f, 0, 0, 0, 1, 1);
    // Left edge half a pixel right instead: the picture moves one pixel right, column 120 stays empty.
    drawQuad(d, 120.5f, 15.5f, 184.5f, 79.5f, 0, 0, 0, 1, 1);
    end(d);
    d->SetTexture(0, nullptr);
    texture->Release();
}

// ---- set-ups derived from the rules, checked against the real Direct3D 9 only

void specularGrid(IDirect3DDevice9* d, const D3DLIGHT9& light)
{
    Mesh<LitVertex> grid;
    const unsigned cells = 32;
    for (unsigned r = 0; r <= cells; ++r)
        for (unsigned c = 0; c <= cells; ++c)
            grid.vertices.push_back({-1.0f + 2.0f * static_cast<float>(c) / cells,
                                     1.0f - 2.0f * static_cast<float>(r) / cells, 1.0f, 0, 0, -1, 0, 0});
    for (unsigned r = 0; r < cells; ++r)
        for (unsigned c = 0; c < cells; ++c) {
            const auto a = static_cast<std::uint16_t>(r * (cells + 1) + c);
            const auto b = static_cast<std::uint16_t>(a + 1), e = static_cast<std::uint16_t>(a + cells + 1);
            const auto f = static_cast<std::uint16_t>(e + 1);
            grid.indices.insert(grid.indices.end(), {a, b, e, e, b, f});
        }
    d->SetLight(0, &light);
    d->LightEnable(0, TRUE);
    drawMesh(d, grid, kLitFvf);
}

void vector06SpotSpecular(IDirect3DDevice9* d)
{
    begin(d, 0xFFFFFFFF);
    identityTransforms(d);
    d->SetRenderState(D3DRS_CLIPPING, FALSE);
    d->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    d->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    const D3DMATERIAL9 m = material({0, 0, 0, 0}, {0, 0, 0, 0}, {1, 1, 1, 1}, 30.0f);
    d->SetMaterial(&m);
    D3DLIGHT9 spot{};
    spot.Type = D3DLIGHT_SPOT;
    spot.Specular = {1, 1, 1, 0};
    spot.Direction = {0, 0, 1};
    spot.Range = 100.0f;
    spot.Falloff = 1.0f;
    spot.Attenuation2 = 1.0f;
    spot.Theta = kPi / 12.0f;
    spot.Phi = kPi / 3.0f;
    // Left half: LOCALVIEWER FALSE; right half: TRUE.
    D3DVIEWPORT9 left{0, 0, 256, 256, 0.0f, 1.0f}, right{256, 0, 256, 256, 0.0f, 1.0f};
    d->SetViewport(&left);
    d->SetRenderState(D3DRS_LOCALVIEWER, FALSE);
    specularGrid(d, spot);
    d->SetViewport(&right);
    d->SetRenderState(D3DRS_LOCALVIEWER, TRUE);
    specularGrid(d, spot);
    end(d);
}

void vector13DestAlphaAndOrientation(IDirect3DDevice9* d)
{
    IDirect3DSurface9* back = nullptr;
    d->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    IDirect3DTexture9* targets[2] = {};
    const D3DFORMAT formats[2] = {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8};
    d->BeginScene();
    d->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    for (int k = 0; k < 2; ++k) {
        d->CreateTexture(128, 128, 1, D3DUSAGE_RENDERTARGET, formats[k], D3DPOOL_DEFAULT, &targets[k], nullptr);
        IDirect3DSurface9* surface = nullptr;
        targets[k]->GetSurfaceLevel(0, &surface);
        d->SetRenderTarget(0, surface);
        d->Clear(0, nullptr, D3DCLEAR_TARGET, 0x80FF0000, 1.0f, 0);
        screenSpace(d, 128, 128);
        stage(d, 0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_DIFFUSE);
        // Top half only: green blended by the destination's alpha.
        d->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        d->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_DESTALPHA);
        d->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVDESTALPHA);
        const D3DCOLOR green[4] = {0x8000FF00, 0x8000FF00, 0x8000FF00, 0x8000FF00};
        drawQuadColours(d, -0.5f, -0.5f, 127.5f, 63.5f, 0, green);
        // An unblended marker in the top-left corner.
        d->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        const D3DCOLOR blue[4] = {0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF};
        drawQuadColours(d, 7.5f, 7.5f, 23.5f, 15.5f, 0, blue);
        surface->Release();
    }
    d->SetRenderTarget(0, back);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    screenSpace(d, 256, 128);
    stage(d, 0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_TEXTURE);
    filters(d, 0, D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_NONE, D3DTADDRESS_CLAMP);
    for (int k = 0; k < 2; ++k) {
        d->SetTexture(0, targets[k]);
        drawQuad(d, -0.5f + 128.0f * static_cast<float>(k), -0.5f, 127.5f + 128.0f * static_cast<float>(k), 127.5f,
                 0, 0, 0, 1, 1);
    }
    d->EndScene();
    d->Present(nullptr, nullptr, nullptr, nullptr);
    d->SetTexture(0, nullptr);
    targets[0]->Release();
    targets[1]->Release();
    back->Release();
}

void vector15ClipDepthAcrossPresent(IDirect3DDevice9* d)
{
    // Frame 1 only writes depth: geometry outside 0 <= z <= w is clipped and writes none.
    d->BeginScene();
    d->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    identityTransforms(d);
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    d->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    stage(d, 0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_DIFFUSE);
    const D3DCOLOR white[4] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    drawQuadColours(d, -0.9f, 0.9f, -0.1f, 0.1f, -0.1f, white); // behind the near plane
    drawQuadColours(d, 0.1f, 0.9f, 0.9f, 0.1f, 0.5f, white);    // inside
    drawQuadColours(d, -0.9f, -0.1f, -0.1f, -0.9f, 1.1f, white); // beyond the far plane
    // A quad whose depth runs from -0.5 (left) to 0.5 (right): its left half is clipped.
    const ColourVertex slope[4] = {{0.1f, -0.1f, -0.5f, 0xFFFFFFFF}, {0.9f, -0.1f, 0.5f, 0xFFFFFFFF},
                                   {0.1f, -0.9f, -0.5f, 0xFFFFFFFF}, {0.9f, -0.9f, 0.5f, 0xFFFFFFFF}};
    d->SetFVF(kColourFvf);
    d->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, slope, sizeof(ColourVertex));
    drawQuadColours(d, -0.97f, 0.03f, 0.97f, -0.03f, 0.002f, white); // just inside the near plane
    d->EndScene();
    d->Present(nullptr, nullptr, nullptr, nullptr);

    // Frame 2 clears colour only; the depth of frame 1 decides where the quad shows.
    d->BeginScene();
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF102060, 1.0f, 0);
    d->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    const D3DCOLOR yellow[4] = {0xFFFFFF00, 0xFFFFC000, 0xFFFFFF00, 0xFFFFC000};
    drawQuadColours(d, -1.0f, 1.0f, 1.0f, -1.0f, 0.7f, yellow);
    d->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    d->EndScene();
    d->Present(nullptr, nullptr, nullptr, nullptr);
}

void vector19MaxMipLevel(IDirect3DDevice9* d)
{
    static const D3DCOLOR levelColours[7] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00,
                                             0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};
    IDirect3DTexture9* texture = makeTexture(d, 64, 64, 0, D3DFMT_A8R8G8B8,
                                             [](UINT level, UINT, UINT) { return levelColours[level]; });
    begin(d, 0xFF404040);
    screenSpace(d, 256, 256);
    d->SetTexture(0, texture);
    stage(d, 0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_TEXTURE);
    filters(d, 0, D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_NONE, D3DTADDRESS_CLAMP);
    // No mip filter: MAXMIPLEVEL is ignored, level 0 even when minified 2:1.
    d->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 2);
    drawQuad(d, 15.5f, 15.5f, 47.5f, 47.5f, 0, 0, 0, 1, 1);
    // Mip filter on: the level of detail is clamped to at least 2 even when magnified.
    d->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_POINT);
    drawQuad(d, 143.5f, 15.5f, 239.5f, 111.5f, 0, 0, 0, 1, 1);
    // Beyond the last level: the last level.
    d->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 9);
    drawQuad(d, 15.5f, 143.5f, 111.5f, 239.5f, 0, 0, 0, 1, 1);
    // 0: the whole chain (level 0 at 1:1, level 2 at 4:1).
    d->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, 0);
    drawQuad(d, 143.5f, 143.5f, 207.5f, 207.5f, 0, 0, 0, 1, 1);
    drawQuad(d, 215.5f, 143.5f, 231.5f, 159.5f, 0, 0, 0, 1, 1);
    end(d);
    d->SetTexture(0, nullptr);
    texture->Release();
}

void vector22PointScaleViewportHeight(IDirect3DDevice9* d)
{
    begin(d, 0xFF000040);
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    const D3DMATRIX id = identity();
    d->SetTransform(D3DTS_WORLD, &id);
    d->SetTransform(D3DTS_VIEW, &id);
    stage(d, 0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_DIFFUSE);
    d->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
    d->SetRenderState(D3DRS_POINTSIZE_MIN, d3dFloatBits(2.0f));
    d->SetRenderState(D3DRS_POINTSIZE_MAX, d3dFloatBits(60.0f));
    d->SetFVF(kColourFvf);
    struct Setting {
        float a, b, c, size;
        D3DCOLOR colour;
    };
    // S = Vh · size · sqrt(1 / (A + B·De + C·De²)), clamped to [2, 60].
    const Setting settings[5] = {{1, 0, 0, 0.05f, 0xFFFF4040},   // Vh/20
                                 {0, 0, 1, 2.0f, 0xFF40FF40},    // Vh·2/De
                                 {0, 1, 0, 1.0f, 0xFF4080FF},    // Vh/sqrt(De), clamped at 60
                                 {4, 0, 1, 0.5f, 0xFFFFFF40},
                                 {1, 0, 0, 0.001f, 0xFFFF40FF}}; // below the minimum
    const D3DVIEWPORT9 viewports[2] = {{0, 0, 512, 160, 0.0f, 1.0f}, {0, 160, 512, 352, 0.0f, 1.0f}};
    for (const D3DVIEWPORT9& viewport : viewports) {
        d->SetViewport(&viewport);
        const D3DMATRIX projection = perspectiveFovLH(kPi / 2.0f, 512.0f / static_cast<float>(viewport.Height), 1.0f, 100.0f);
        d->SetTransform(D3DTS_PROJECTION, &projection);
        for (int k = 0; k < 5; ++k) {
            const Setting& s = settings[k];
            d->SetRenderState(D3DRS_POINTSCALE_A, d3dFloatBits(s.a));
            d->SetRenderState(D3DRS_POINTSCALE_B, d3dFloatBits(s.b));
            d->SetRenderState(D3DRS_POINTSCALE_C, d3dFloatBits(s.c));
            d->SetRenderState(D3DRS_POINTSIZE, d3dFloatBits(s.size));
            const float depth = 16.37f;
            const ColourVertex point{(-0.8f + 0.4f * static_cast<float>(k) + 0.0123f) * depth * 512.0f /
                                         static_cast<float>(viewport.Height),
                                     0.0371f * depth, depth, s.colour};
            d->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof(ColourVertex));
        }
    }
    end(d);
    d->SetRenderState(D3DRS_POINTSCALEENABLE, FALSE);
}

void vector26BilinearBoxAverage(IDirect3DDevice9* d)
{
    const UINT s = 32;
    // Large steps between 2 × 2 blocks, small ones inside: sampling the wrong block shows at
    // once, while the reference renderer's 1/128-pixel shortfall moves values by at most 1.
    IDirect3DTexture9* source = makeTexture(d, 2 * s, 2 * s, 1, D3DFMT_A8R8G8B8, [](UINT, UINT x, UINT y) {
        const unsigned r = 40 + noise(x / 2, y / 2, 7) * 160 / 255 + 16 * (x % 2);
        const unsigned g = 40 + noise(x / 2, y / 2, 8) * 160 / 255 + 16 * (y % 2);
        const unsigned b = ((x / 2 + y / 2) % 2) ? 200 : 40;
        return D3DCOLOR_ARGB(255, r, g, b + 8 * ((x + y) % 2));
    });
    IDirect3DSurface9* back = nullptr;
    d->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    IDirect3DSurface9* surface = nullptr;
    IDirect3DTexture9* target = renderTargetTexture(d, s, &surface);
    d->BeginScene();
    d->SetRenderTarget(0, surface);
    d->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    d->SetRenderState(D3DRS_LIGHTING, FALSE);
    d->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    d->SetTexture(0, source);
    stage(d, 0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_TEXTURE);
    filters(d, 0, D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_NONE, D3DTADDRESS_CLAMP);
    fullTargetPass(d, 0.5f / static_cast<float>(s), 0.5f / static_cast<float>(s));

    d->SetRenderTarget(0, back);
    d->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    screenSpace(d, 256, 128);
    filters(d, 0, D3DTEXF_POINT, D3DTEXF_POINT, D3DTEXF_NONE, D3DTADDRESS_CLAMP);
    d->SetTexture(0, target);
    drawQuad(d, -0.5f, -0.5f, 127.5f, 127.5f, 0, 0, 0, 1, 1); // the 32 × 32 result, 4× enlarged
    d->SetTexture(0, source);
    drawQuad(d, 159.5f, 31.5f, 223.5f, 95.5f, 0, 0, 0, 1, 1); // the source at 1:1
    d->EndScene();
    d->Present(nullptr, nullptr, nullptr, nullptr);
    d->SetTexture(0, nullptr);
    surface->Release();
    target->Release();
    source->Release();
    back->Release();
}

} // namespace

const std::vector<ReferenceCase>& referenceCases()
{
    static const std::vector<ReferenceCase> cases = {
        {"0001_diffuse_map_modulate_maxmiplevel0", "diffuse map, MODULATE with vertex colours, full mip chain, MAXMIPLEVEL 0",
         256, 256, D3DFMT_X8R8G8B8, 2, 0, diffuseMapModulate},
        {"0002_sphere_map_addsmooth_clamp", "TCI_SPHEREMAP on stage 1 with ADDSMOOTH and CLAMP over a base map",
         256, 256, D3DFMT_X8R8G8B8, 2, 64, sphereMapAddSmooth},
        {"0003_specular_map_multiplyadd_specular", "MULTIPLYADD(CURRENT, SPECULAR, TEXTURE) with highlights on (left) and off (right)",
         256, 256, D3DFMT_X8R8G8B8, 2, 64, specularMapMultiplyAdd},
        {"0004_additive_map_add", "additive map: stage 1 ADD(TEXTURE, CURRENT)", 256, 256, D3DFMT_X8R8G8B8, 2, 64,
         additiveMapAdd},
        {"0005_light_map_texcoord1_selectarg1", "light map from coordinate set 1 with SELECTARG1, base map from set 0 on stage 1",
         256, 256, D3DFMT_X8R8G8B8, 2, 32, lightMapSet1SelectArg1},
        {"0006_texture_transform_count2_scale_offset", "COUNT2 texture transforms: scale and offset, rotation, DISABLE, third-row translation",
         256, 256, D3DFMT_X8R8G8B8, 2, 0, textureTransformCount2},
        {"0007_tfactor_stage0_no_texture", "stage 0 SELECTARG1(TFACTOR) with no texture, blended, and kept for a later draw",
         256, 256, D3DFMT_X8R8G8B8, 2, 16, tfactorWithoutTexture},
        {"0008_blendop_subtract_destalpha_add_one_one", "BLENDOP SUBTRACT with SRCALPHA/DESTALPHA on X8, ADD with ONE/ONE",
         256, 256, D3DFMT_X8R8G8B8, 2, 0, blendOps},
        {"0009_point_sprites_additive_scale_c", "textured point sprites, ONE/ONE, distance scaling with C = 1", 256, 256,
         D3DFMT_X8R8G8B8, 2, 32, pointSpritesAdditive},
        {"0010_glow_chain_512_256_64_four_taps", "render-target chain 512 -> 256 -> 64, four MULTIPLYADD taps with texture-transform offsets",
         256, 256, D3DFMT_X8R8G8B8, 2, 64, glowChain},
        {"0011_lit_mesh_point_spot_directional", "point (range, attenuation), spot (theta/phi) and directional light, AMBIENT, specular",
         256, 256, D3DFMT_X8R8G8B8, 2, 64, litMeshThreeLights},
        {"0012_pixel_exact_quad_point_half_pixel", "1:1 textured quad with POINT filtering at the half-pixel offset, and one shifted",
         256, 128, D3DFMT_X8R8G8B8, 0, 0, pixelExactQuad},
        {"0013_spot_light_specular_cone", "spot specular on a grid, theta pi/12, phi pi/3, LOCALVIEWER off and on",
         512, 256, D3DFMT_A8R8G8B8, 2, 0, vector06SpotSpecular},
        {"0014_destalpha_x8_target_and_orientation", "DESTALPHA blending into A8R8G8B8 and X8R8G8B8 render targets, drawn upright",
         256, 128, D3DFMT_X8R8G8B8, 2, 0, vector13DestAlphaAndOrientation},
        {"0015_clip_depth_range_depth_survives_present", "clip z in [0, w]; depth written before a Present decides the next frame",
         256, 256, D3DFMT_X8R8G8B8, 2, 16, vector15ClipDepthAcrossPresent},
        {"0016_maxmiplevel_rules", "MAXMIPLEVEL ignored without mip filter, clamps when magnified, beyond the chain",
         256, 256, D3DFMT_X8R8G8B8, 0, 0, vector19MaxMipLevel},
        {"0017_point_scale_viewport_height", "scaled point sizes follow the viewport height, with min and max clamps",
         512, 512, D3DFMT_X8R8G8B8, 0, 0, vector22PointScaleViewportHeight},
        {"0018_half_texel_offset_box_average", "bilinear sampling at a half-texel offset averages 2 x 2 blocks", 256, 128,
         D3DFMT_X8R8G8B8, 2, 0, vector26BilinearBoxAverage},
        // Through the scene classes: up to 0.5 % of the pixels (the quad's edges) may differ.
        {"0019_scene_textured_quad_point_light_camera", "scene Camera, point Light with attenuation, Material::apply with a diffuse map and specular highlights",
         litquad::kWidth, litquad::kHeight, D3DFMT_X8R8G8B8, 2, litquad::kWidth * litquad::kHeight / 200, litquad::draw},
    };
    return cases;
}
