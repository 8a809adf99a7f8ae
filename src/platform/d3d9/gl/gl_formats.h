// How each Direct3D format the device accepts lives in OpenGL: internal format, upload
// format/type and the swizzle that makes X8, R5G6B5 and L8 read with alpha 1 and L replicate.
#pragma once

#include "platform/d3d9/d3d9.h"

#include <epoxy/gl.h>

namespace d3dgl {

struct GlColorFormat {
    GLenum internalFormat = 0;
    GLenum uploadFormat = 0;
    GLenum uploadType = 0;
    GLint swizzle[4] = {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA};
    bool valid() const { return internalFormat != 0; }
};

inline GlColorFormat glColorFormat(D3DFORMAT format)
{
    GlColorFormat result;
    switch (format) {
    case D3DFMT_A8R8G8B8:
        result.internalFormat = GL_RGBA8;
        result.uploadFormat = GL_BGRA;
        result.uploadType = GL_UNSIGNED_INT_8_8_8_8_REV;
        break;
    case D3DFMT_X8R8G8B8:
        // Stored with four channels so render targets and readbacks share one layout; the
        // unused byte always reads as opaque.
        result.internalFormat = GL_RGBA8;
        result.uploadFormat = GL_BGRA;
        result.uploadType = GL_UNSIGNED_INT_8_8_8_8_REV;
        result.swizzle[3] = GL_ONE;
        break;
    case D3DFMT_L8:
        result.internalFormat = GL_R8;
        result.uploadFormat = GL_RED;
        result.uploadType = GL_UNSIGNED_BYTE;
        result.swizzle[1] = GL_RED;
        result.swizzle[2] = GL_RED;
        result.swizzle[3] = GL_ONE;
        break;
    case D3DFMT_R5G6B5:
        // Red in the top five bits of the 16-bit word, as GL's 5_6_5 packing has it.
        result.internalFormat = GL_RGB565;
        result.uploadFormat = GL_RGB;
        result.uploadType = GL_UNSIGNED_SHORT_5_6_5;
        result.swizzle[3] = GL_ONE;
        break;
    case D3DFMT_A8L8:
        // Luminance in the low byte (first in memory), alpha in the high one.
        result.internalFormat = GL_RG8;
        result.uploadFormat = GL_RG;
        result.uploadType = GL_UNSIGNED_BYTE;
        result.swizzle[1] = GL_RED;
        result.swizzle[2] = GL_RED;
        result.swizzle[3] = GL_GREEN;
        break;
    default:
        break;
    }
    return result;
}

inline bool isDepthFormat(D3DFORMAT format)
{
    return format == D3DFMT_D24S8 || format == D3DFMT_D24X8 || format == D3DFMT_D16;
}

inline bool depthFormatHasStencil(D3DFORMAT format) { return format == D3DFMT_D24S8; }

inline GLenum glDepthInternalFormat(D3DFORMAT format)
{
    switch (format) {
    case D3DFMT_D24S8: return GL_DEPTH24_STENCIL8;
    case D3DFMT_D24X8: return GL_DEPTH_COMPONENT24;
    case D3DFMT_D16: return GL_DEPTH_COMPONENT16;
    default: return 0;
    }
}

inline bool isRenderTargetFormat(D3DFORMAT format)
{
    return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8;
}

} // namespace d3dgl
