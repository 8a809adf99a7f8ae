// Direct3D render, sampler and primitive enumerations → their OpenGL counterparts.
#pragma once

#include "platform/d3d9/d3d9.h"

#include <epoxy/gl.h>

namespace d3dgl {

// Without destination alpha (X8R8G8B8 targets) the destination alpha reads as 1.
inline GLenum glBlendFactor(DWORD blend, bool alphalessTarget)
{
    switch (blend) {
    case D3DBLEND_ZERO: return GL_ZERO;
    case D3DBLEND_ONE: return GL_ONE;
    case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA: return alphalessTarget ? GL_ONE : GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA: return alphalessTarget ? GL_ZERO : GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
    default: return GL_ONE;
    }
}

inline GLenum glBlendEquationOf(DWORD op)
{
    switch (op) {
    case D3DBLENDOP_SUBTRACT: return GL_FUNC_SUBTRACT;   // source minus destination
    case D3DBLENDOP_REVSUBTRACT: return GL_FUNC_REVERSE_SUBTRACT;
    case D3DBLENDOP_MIN: return GL_MIN;
    case D3DBLENDOP_MAX: return GL_MAX;
    default: return GL_FUNC_ADD;
    }
}

inline GLenum glCompareFunction(DWORD function)
{
    switch (function) {
    case D3DCMP_NEVER: return GL_NEVER;
    case D3DCMP_LESS: return GL_LESS;
    case D3DCMP_EQUAL: return GL_EQUAL;
    case D3DCMP_LESSEQUAL: return GL_LEQUAL;
    case D3DCMP_GREATER: return GL_GREATER;
    case D3DCMP_NOTEQUAL: return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL: return GL_GEQUAL;
    default: return GL_ALWAYS;
    }
}

inline GLenum glStencilOperation(DWORD op)
{
    switch (op) {
    case D3DSTENCILOP_ZERO: return GL_ZERO;
    case D3DSTENCILOP_REPLACE: return GL_REPLACE;
    case 4: return GL_INCR;       // INCRSAT
    case 5: return GL_DECR;       // DECRSAT
    case 6: return GL_INVERT;
    case 7: return GL_INCR_WRAP;  // INCR
    case 8: return GL_DECR_WRAP;  // DECR
    default: return GL_KEEP;
    }
}

inline GLenum glFillMode(DWORD mode)
{
    switch (mode) {
    case D3DFILL_POINT: return GL_POINT;
    case D3DFILL_WIREFRAME: return GL_LINE;
    default: return GL_FILL;
    }
}

// CLAMP is clamp-to-edge, not OpenGL's legacy clamp.
inline GLint glAddressMode(DWORD mode)
{
    switch (mode) {
    case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
    case D3DTADDRESS_MIRRORONCE: return GL_MIRROR_CLAMP_TO_EDGE;
    default: return GL_REPEAT;
    }
}

inline GLint glMagFilter(DWORD filter)
{
    return filter == D3DTEXF_LINEAR || filter == D3DTEXF_ANISOTROPIC ? GL_LINEAR : GL_NEAREST;
}

inline GLint glMinFilter(DWORD minFilter, DWORD mipFilter)
{
    const bool linear = minFilter == D3DTEXF_LINEAR || minFilter == D3DTEXF_ANISOTROPIC;
    switch (mipFilter) {
    case D3DTEXF_POINT: return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    case D3DTEXF_LINEAR:
    case D3DTEXF_ANISOTROPIC: return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    default: return linear ? GL_LINEAR : GL_NEAREST;
    }
}

inline GLenum glPrimitiveMode(D3DPRIMITIVETYPE type)
{
    switch (type) {
    case D3DPT_POINTLIST: return GL_POINTS;
    case D3DPT_LINELIST: return GL_LINES;
    case D3DPT_LINESTRIP: return GL_LINE_STRIP;
    case D3DPT_TRIANGLESTRIP: return GL_TRIANGLE_STRIP;
    case D3DPT_TRIANGLEFAN: return GL_TRIANGLE_FAN;
    default: return GL_TRIANGLES;
    }
}

} // namespace d3dgl
