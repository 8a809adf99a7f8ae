// Replay with a readback before every Present; the last one wins.
#include "platform/d3d9/trace/trace_render.h"

TraceRendering renderTrace(std::string_view text, IDirect3DDevice9* device)
{
    TraceRendering rendering;
    std::string captureError;
    TraceReplayOptions options;
    options.beforePresent = [&](IDirect3DDevice9* target, unsigned) {
        if (!captureBackBuffer(target, rendering.image, captureError))
            rendering.image.rgba.clear();
    };
    rendering.replay = replayTrace(text, device, options);
    if (!rendering.replay.ok) {
        rendering.error = rendering.replay.error;
        return rendering;
    }
    if (rendering.replay.presents == 0 && !captureBackBuffer(device, rendering.image, captureError))
        rendering.image.rgba.clear();
    if (rendering.image.rgba.empty())
        rendering.error = "cannot read the back buffer: " + captureError;
    return rendering;
}

D3DPRESENT_PARAMETERS presentParametersForTrace(const TraceHeader& header, unsigned width, unsigned height)
{
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = width;
    pp.BackBufferHeight = height;
    pp.BackBufferFormat = header.backBufferFormat == D3DFMT_A8R8G8B8 ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.Windowed = TRUE;
    pp.EnableAutoDepthStencil = header.depthFormat != 0 ? TRUE : FALSE;
    pp.AutoDepthStencilFormat = header.depthFormat != 0 ? static_cast<D3DFORMAT>(header.depthFormat) : D3DFMT_D24S8;
    pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    return pp;
}
