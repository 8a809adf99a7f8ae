// Picture-file services of the Direct3D helper library: describe a picture held in memory,
// decode it into a surface, build a texture with a full mip chain from it, and save a surface
// as PNG. Pictures are PNG, JPEG, TGA or BMP and become A8R8G8B8, X8R8G8B8 or L8.
#pragma once

#include "platform/d3d9/d3d9.h"

#include <cstdint>
#include <vector>

enum D3DXIMAGE_FILEFORMAT : DWORD {
    D3DXIFF_BMP = 0,
    D3DXIFF_JPG = 1,
    D3DXIFF_TGA = 2,
    D3DXIFF_PNG = 3,
    D3DXIFF_DDS = 4,
    D3DXIFF_PPM = 5,
    D3DXIFF_DIB = 6,
    D3DXIFF_HDR = 7,
    D3DXIFF_PFM = 8,
};

struct D3DXIMAGE_INFO {
    UINT Width;
    UINT Height;
    UINT Depth;
    UINT MipLevels;
    D3DFORMAT Format;
    D3DRESOURCETYPE ResourceType;
    D3DXIMAGE_FILEFORMAT ImageFileFormat;
};

struct PALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
};

constexpr UINT D3DX_DEFAULT = 0xFFFFFFFFu;
constexpr UINT D3DX_DEFAULT_NONPOW2 = 0xFFFFFFFEu;
constexpr UINT D3DX_FROM_FILE = 0xFFFFFFFDu;
constexpr D3DFORMAT D3DFMT_FROM_FILE = static_cast<D3DFORMAT>(0xFFFFFFFDu);

constexpr DWORD D3DX_FILTER_NONE = 1;
constexpr DWORD D3DX_FILTER_POINT = 2;
constexpr DWORD D3DX_FILTER_LINEAR = 3;
constexpr DWORD D3DX_FILTER_TRIANGLE = 4;
constexpr DWORD D3DX_FILTER_BOX = 5;

// Data that is no picture we can decode (or breaks the size limits).
constexpr HRESULT D3DXERR_INVALIDDATA = static_cast<HRESULT>(0x88760B59);

// Width, height and format of a picture in memory; depth 1, one mip level, a texture.
HRESULT D3DXGetImageInfoFromFileInMemory(const void* data, UINT size, D3DXIMAGE_INFO* info);

// Decodes a picture into a lockable surface, converting to the surface's format (one of the
// three picture formats). The source and destination rectangles (null: whole) must have the
// same size: nothing is rescaled, so the filter only has to be valid. A non-zero colour key
// makes every pixel of exactly that ARGB value transparent black.
HRESULT D3DXLoadSurfaceFromFileInMemory(IDirect3DSurface9* destSurface, const PALETTEENTRY* destPalette,
                                        const RECT* destRect, const void* srcData, UINT srcDataSize,
                                        const RECT* srcRect, DWORD filter, D3DCOLOR colorKey,
                                        D3DXIMAGE_INFO* srcInfo);

// A texture of the picture's own size (no rounding to powers of two) with the full mip chain,
// each level box-filtered from the one above. The Ex form takes D3DX_DEFAULT, 0,
// D3DX_DEFAULT_NONPOW2 or the picture's size for the size; 0, D3DX_DEFAULT, D3DX_FROM_FILE (one
// level) or a count for the levels; D3DFMT_UNKNOWN, D3DFMT_FROM_FILE or a picture format for the
// format. Anything that would need rescaling is D3DERR_INVALIDCALL. The plain form uses the
// managed pool; a default-pool request without dynamic usage is also given the managed pool
// (filling a default-pool texture would need UpdateTexture, which the device API lacks).
HRESULT D3DXCreateTextureFromFileInMemory(IDirect3DDevice9* device, const void* srcData, UINT srcDataSize,
                                          IDirect3DTexture9** texture);
HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* srcData, UINT srcDataSize,
                                            UINT width, UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format,
                                            D3DPOOL pool, DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                            D3DXIMAGE_INFO* srcInfo, PALETTEENTRY* palette,
                                            IDirect3DTexture9** texture);

// Saves a lockable surface (or a rectangle of it) as a picture file; only D3DXIFF_PNG is
// written. A8R8G8B8 becomes RGBA, X8R8G8B8 RGB, L8 grey. The file appears complete or not at
// all (written beside it under a temporary name, then renamed).
HRESULT D3DXSaveSurfaceToFile(const char* destFile, D3DXIMAGE_FILEFORMAT format, IDirect3DSurface9* srcSurface,
                              const PALETTEENTRY* srcPalette, const RECT* srcRect);
// The same PNG bytes in memory.
HRESULT encodeSurfaceAsPng(IDirect3DSurface9* srcSurface, const RECT* srcRect, std::vector<std::uint8_t>* png);
