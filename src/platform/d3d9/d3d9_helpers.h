// Helpers over the Direct3D 9 API that every device, the trace player and the Windows
// reference program share: format sizes, vertex sizes and counts, index ranges, colour
// unpacking, float-valued states. Written against the API's names only, so it compiles with
// our d3d9.h and with the system's.
#pragma once

#if defined(TRACE_NATIVE_D3D9)
#include <windows.h>
#include <d3d9.h>
#else
#include "platform/d3d9/d3d9.h"
#endif

#include <cstdint>
#include <cstring>

// Bytes per pixel of a colour format; 0 for formats that are not colour formats.
inline UINT d3dBytesPerPixel(D3DFORMAT format)
{
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8: return 4;
    case D3DFMT_R8G8B8: return 3;
    case D3DFMT_R5G6B5:
    case D3DFMT_A8L8: return 2;
    case D3DFMT_L8: return 1;
    default: return 0;
    }
}

// The pitch our devices hand out: width × bytes per pixel rounded up to 4.
inline int d3dPitch(UINT width, D3DFORMAT format)
{
    return static_cast<int>((width * d3dBytesPerPixel(format) + 3u) & ~3u);
}

// Size in bytes of one vertex of a flexible vertex format (every texture set two floats).
inline UINT d3dFvfStride(DWORD fvf)
{
    UINT size = 0;
    switch (fvf & D3DFVF_POSITION_MASK) {
    case D3DFVF_XYZ: size += 12; break;
    case D3DFVF_XYZRHW: size += 16; break;
    default: break;
    }
    if (fvf & D3DFVF_NORMAL) size += 12;
    if (fvf & D3DFVF_PSIZE) size += 4;
    if (fvf & D3DFVF_DIFFUSE) size += 4;
    if (fvf & D3DFVF_SPECULAR) size += 4;
    size += ((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT) * 8;
    return size;
}

inline bool d3dPrimitiveTypeKnown(DWORD type) { return type >= D3DPT_POINTLIST && type <= D3DPT_TRIANGLEFAN; }

// Vertices (or indices) that primitiveCount primitives of a type consume: 0 for no
// primitives and for unknown types (a strip of none uses no vertex).
inline std::uint64_t d3dVertexCount(DWORD type, std::uint64_t primitiveCount)
{
    if (primitiveCount == 0) return 0;
    switch (type) {
    case D3DPT_POINTLIST: return primitiveCount;
    case D3DPT_LINELIST: return primitiveCount * 2;
    case D3DPT_LINESTRIP: return primitiveCount + 1;
    case D3DPT_TRIANGLELIST: return primitiveCount * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: return primitiveCount + 2;
    default: return 0;
    }
}

inline UINT d3dIndexSize(D3DFORMAT format) { return format == D3DFMT_INDEX32 ? 4 : format == D3DFMT_INDEX16 ? 2 : 0; }

// Lowest and highest of `count` 16- or 32-bit indices (both 0 for none).
inline void d3dIndexRange(const void* indices, std::uint64_t count, UINT indexSize, UINT* lowest, UINT* highest)
{
    UINT low = count ? 0xFFFFFFFFu : 0, high = 0;
    const auto* bytes = static_cast<const unsigned char*>(indices);
    for (std::uint64_t k = 0; k < count; ++k) {
        UINT value = 0;
        if (indexSize == 4) {
            std::uint32_t wide;
            std::memcpy(&wide, bytes + k * 4, 4);
            value = wide;
        } else {
            std::uint16_t narrow;
            std::memcpy(&narrow, bytes + k * 2, 2);
            value = narrow;
        }
        low = value < low ? value : low;
        high = value > high ? value : high;
    }
    *lowest = low;
    *highest = high;
}

// A D3DCOLOR (0xAARRGGBB) as four floats r, g, b, a in 0..1.
inline void d3dColorToFloats(D3DCOLOR color, float rgba[4])
{
    rgba[0] = static_cast<float>((color >> 16) & 0xFF) / 255.0f;
    rgba[1] = static_cast<float>((color >> 8) & 0xFF) / 255.0f;
    rgba[2] = static_cast<float>(color & 0xFF) / 255.0f;
    rgba[3] = static_cast<float>((color >> 24) & 0xFF) / 255.0f;
}

// One pixel of a 32-bit BGRA-in-memory format (A8R8G8B8, X8R8G8B8) as RGBA bytes; the X8
// format's unused byte reads as opaque.
inline void d3dPixelToRgba(const unsigned char* bgra, D3DFORMAT format, unsigned char rgba[4])
{
    rgba[0] = bgra[2];
    rgba[1] = bgra[1];
    rgba[2] = bgra[0];
    rgba[3] = format == D3DFMT_X8R8G8B8 ? 0xFF : bgra[3];
}

// Float-valued render and sampler states travel as the DWORD holding the float's bits.
inline DWORD d3dFloatBits(float value)
{
    DWORD bits;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}
inline float d3dBitsFloat(DWORD bits)
{
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
