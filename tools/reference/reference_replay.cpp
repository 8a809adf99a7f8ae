// The reference renderer: a small Windows program that replays device traces on the real
// Direct3D 9 and saves the back buffer of each as PNG (as it stood at the trace's last
// Present, or at its end). Built with MinGW-w64 against d3d9 only; it shares the trace
// reader, player and readback with the Linux tools, so both sides replay exactly alike.
//
//   reference_replay TRACE OUT.png [TRACE OUT.png ...]
#include "platform/d3d9/trace/trace_render.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND createWindow(unsigned width, unsigned height)
{
    static bool registered = false;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!registered) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = windowProcedure;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = "ReferenceReplay";
        RegisterClassA(&windowClass);
        registered = true;
    }
    RECT frame{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowA("ReferenceReplay", "reference replay", WS_OVERLAPPEDWINDOW, 0, 0,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (window)
        ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

bool readFile(const char* path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    text = buffer.str();
    return true;
}

// Replays one trace and writes its PNG; false (with a message on stderr) on any failure.
bool renderTrace(IDirect3D9* d3d, const char* tracePath, const char* pngPath)
{
    std::string text, error;
    if (!readFile(tracePath, text)) {
        std::fprintf(stderr, "%s: cannot read\n", tracePath);
        return false;
    }
    TraceHeader header;
    if (!readTraceHeader(text, header, error)) {
        std::fprintf(stderr, "%s: %s\n", tracePath, error.c_str());
        return false;
    }
    HWND window = createWindow(header.width, header.height);
    if (!window) {
        std::fprintf(stderr, "%s: cannot create a window\n", tracePath);
        return false;
    }
    D3DPRESENT_PARAMETERS pp = presentParametersForTrace(header, header.width, header.height);
    pp.hDeviceWindow = window;
    IDirect3DDevice9* device = nullptr;
    HRESULT hr = d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                   &pp, &device);
    if (FAILED(hr)) {
        std::fprintf(stderr, "%s: CreateDevice failed (0x%08lx)\n", tracePath, static_cast<unsigned long>(hr));
        DestroyWindow(window);
        return false;
    }

    TraceRendering rendering = renderTrace(text, device);
    const CapturedImage& image = rendering.image;
    bool ok = rendering.error.empty();
    if (!ok)
        std::fprintf(stderr, "%s: %s\n", tracePath, rendering.error.c_str());
    if (rendering.replay.failedCalls)
        std::fprintf(stderr, "%s: %u calls failed; first: %s\n", tracePath, rendering.replay.failedCalls,
                     rendering.replay.firstFailure.c_str());
    if (ok && !stbi_write_png(pngPath, static_cast<int>(image.width), static_cast<int>(image.height), 4,
                              image.rgba.data(), static_cast<int>(image.width * 4))) {
        std::fprintf(stderr, "%s: cannot write\n", pngPath);
        ok = false;
    }
    if (ok)
        std::printf("%s -> %s (%ux%u, %u calls, %u presents)\n", tracePath, pngPath, image.width, image.height,
                    rendering.replay.calls, rendering.replay.presents);
    device->Release();
    DestroyWindow(window);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc % 2 == 0) {
        std::fprintf(stderr, "usage: reference_replay TRACE OUT.png [TRACE OUT.png ...]\n");
        return 2;
    }
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (!d3d) {
        std::fprintf(stderr, "Direct3DCreate9 failed\n");
        return 1;
    }
    int failures = 0;
    for (int k = 1; k + 1 < argc; k += 2)
        if (!renderTrace(d3d, argv[k], argv[k + 1]))
            ++failures;
    d3d->Release();
    std::printf("%d of %d traces rendered\n", (argc - 1) / 2 - failures, (argc - 1) / 2);
    return failures ? 1 : 0;
}
