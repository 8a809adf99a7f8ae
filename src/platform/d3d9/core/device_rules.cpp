// The argument rules of device_rules.h.
#include "platform/d3d9/core/device_rules.h"

#include <algorithm>
#include <cstdint>

namespace d3dcore {

bool viewportFits(const D3DVIEWPORT9& viewport, UINT targetWidth, UINT targetHeight)
{
    // 64-bit sums: X + Width must not wrap past the target's edge.
    return viewport.Width != 0 && viewport.Height != 0 &&
           std::uint64_t{viewport.X} + viewport.Width <= targetWidth &&
           std::uint64_t{viewport.Y} + viewport.Height <= targetHeight;
}

bool lightValid(const D3DLIGHT9& light)
{
    if (light.Type < D3DLIGHT_POINT || light.Type > D3DLIGHT_DIRECTIONAL) return false;
    // Direct3D refuses negative attenuation for positional lights (the old record stays).
    return light.Type == D3DLIGHT_DIRECTIONAL ||
           (light.Attenuation0 >= 0.0f && light.Attenuation1 >= 0.0f && light.Attenuation2 >= 0.0f);
}

UINT fullChainLevels(UINT width, UINT height)
{
    UINT levels = 1;
    for (UINT size = std::max(width, height); size > 1; size >>= 1) ++levels;
    return levels;
}

namespace {

bool sizeValid(const D3DCAPS9& caps, UINT width, UINT height)
{
    return width != 0 && height != 0 && width <= caps.MaxTextureWidth && height <= caps.MaxTextureHeight;
}

bool poolKnown(D3DPOOL pool) { return pool <= D3DPOOL_SCRATCH; }

} // namespace

bool textureParametersValid(const D3DCAPS9& caps, UINT width, UINT height, UINT levels, DWORD usage,
                            D3DFORMAT format, D3DPOOL pool)
{
    if (!sizeValid(caps, width, height) || !colorFormatSupported(format) || !poolKnown(pool)) return false;
    if (levels > fullChainLevels(width, height) || (usage & D3DUSAGE_DEPTHSTENCIL)) return false;
    // Render targets live in the default pool; dynamic textures anywhere but the managed one.
    if ((usage & D3DUSAGE_RENDERTARGET) && (pool != D3DPOOL_DEFAULT || !renderTargetFormat(format))) return false;
    return !((usage & D3DUSAGE_DYNAMIC) && pool == D3DPOOL_MANAGED);
}

bool plainSurfaceParametersValid(const D3DCAPS9& caps, UINT width, UINT height, D3DFORMAT format, D3DPOOL pool)
{
    return sizeValid(caps, width, height) && colorFormatSupported(format) && poolKnown(pool) &&
           pool != D3DPOOL_MANAGED;
}

bool depthSurfaceParametersValid(const D3DCAPS9& caps, UINT width, UINT height, D3DFORMAT format,
                                 D3DMULTISAMPLE_TYPE multiSample)
{
    // No multisampled back buffer exists, so a multisampled depth surface could never be used.
    return sizeValid(caps, width, height) && depthFormat(format) && multiSample == D3DMULTISAMPLE_NONE;
}

bool bufferPoolValid(D3DPOOL pool)
{
    // Scratch memory is for textures and surfaces only.
    return pool == D3DPOOL_DEFAULT || pool == D3DPOOL_MANAGED || pool == D3DPOOL_SYSTEMMEM;
}

bool colorFormatSupported(D3DFORMAT format)
{
    return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8 || format == D3DFMT_R5G6B5 ||
           format == D3DFMT_A8L8 || format == D3DFMT_L8;
}

bool renderTargetFormat(D3DFORMAT format) { return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8; }

bool depthFormat(D3DFORMAT format)
{
    return format == D3DFMT_D24S8 || format == D3DFMT_D24X8 || format == D3DFMT_D16;
}

bool depthFormatHasStencil(D3DFORMAT format) { return format == D3DFMT_D24S8; }

} // namespace d3dcore
