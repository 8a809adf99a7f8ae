// The factories of direct3d.h for the OpenGL device: windowed on the shell's SDL window, or
// headless on EGL surfaceless.
#include "platform/d3d9/direct3d.h"

#include "platform/d3d9/gl/gl_context.h"
#include "platform/d3d9/gl/gl_direct3d.h"

IDirect3D9* Direct3DCreate9(UINT sdkVersion)
{
    if (sdkVersion != D3D_SDK_VERSION) return nullptr;
    return new d3dgl::GlDirect3D(false);
}

IDirect3D9* createHeadlessDirect3D9()
{
    if (!d3dgl::headlessDisplayAvailable()) return nullptr;
    return new d3dgl::GlDirect3D(true);
}
