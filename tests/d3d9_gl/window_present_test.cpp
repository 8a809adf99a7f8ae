// The windowed OpenGL device on the shell's SDL window (run under Xvfb by ctest): the back
// buffer takes the client area, Present shows it upright, and a back buffer of another aspect
// is letterboxed with black bars. What the X server shows is read back to check.
#include "platform/d3d9/direct3d.h"
#include "platform/d3d9/gl/gl_diagnostics.h"
#include "platform/d3d9/gl/letterbox.h"
#include "platform/shell/shell.h"

#include "x11_window_capture.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return shell().defWindowProc(window, message, wParam, lParam);
}

const char* kClass = "Vorna window class";

class WindowedDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display (ctest runs this under xvfb-run)";
        errors_ = d3dgl::glErrorsSeen();
        WindowClass windowClass;
        windowClass.style = CS_OWNDC;
        windowClass.windowProc = windowProc;
        windowClass.className = kClass;
        ASSERT_TRUE(shell().registerClass(windowClass));
    }

    void TearDown() override
    {
        safeRelease(device);
        safeRelease(direct3d);
        if (window) shell().destroyWindow(window);
        shell().unregisterClass(kClass, nullptr);
        EXPECT_EQ(d3dgl::glErrorsSeen(), errors_) << d3dgl::lastGlErrorText();
    }

    void open(DWORD style, int width, int height, D3DPRESENT_PARAMETERS parameters)
    {
        window = shell().createWindow(kClass, "Demo", style, 0, 0, width, height, nullptr);
        ASSERT_NE(window, nullptr);
        shell().showWindow(window);
        direct3d = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(direct3d, nullptr);
        parameters.hDeviceWindow = window;
        ASSERT_EQ(direct3d->CreateDevice(0, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &device),
                  D3D_OK);
        used = parameters;
    }

    // Paints the back buffer's top half red and bottom half green, then presents it.
    void presentHalves()
    {
        const LONG w = static_cast<LONG>(used.BackBufferWidth), h = static_cast<LONG>(used.BackBufferHeight);
        const D3DRECT top{0, 0, w, h / 2}, bottom{0, h / 2, w, h};
        ASSERT_EQ(device->Clear(1, &top, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0), D3D_OK);
        ASSERT_EQ(device->Clear(1, &bottom, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0), D3D_OK);
        ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    }

    // Lets the X server map the window; a frame presented before that is lost.
    void waitForWindow()
    {
        MSG message;
        for (int i = 0; i < 20; ++i) {
            while (shell().peekMessage(&message)) shell().dispatchMessage(message);
            SDL_Delay(10);
        }
    }

    // The window's pixels as the X server shows them.
    std::vector<std::uint32_t> readWindow(int width, int height)
    {
        return captureX11Window(SDL_GL_GetCurrentWindow(), width, height);
    }

    HWND window = nullptr;
    IDirect3D9* direct3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    D3DPRESENT_PARAMETERS used{};

private:
    std::uint64_t errors_ = 0;
};

D3DPRESENT_PARAMETERS windowedParameters()
{
    D3DPRESENT_PARAMETERS p{};
    p.BackBufferCount = 1;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.Windowed = TRUE;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = D3DFMT_D24X8;
    return p;
}

} // namespace

TEST_F(WindowedDevice, BackBufferTakesTheClientAreaAndPresentsUpright)
{
    D3DPRESENT_PARAMETERS p = windowedParameters();
    open(WS_SYSMENU, 800, 600, p);
    RECT client{};
    ASSERT_TRUE(shell().getClientRect(window, &client));
    EXPECT_EQ(used.BackBufferWidth, static_cast<UINT>(client.right));
    EXPECT_EQ(used.BackBufferHeight, static_cast<UINT>(client.bottom));
    EXPECT_EQ(used.BackBufferFormat, D3DFMT_X8R8G8B8);
    waitForWindow();
    presentHalves();
    const int w = client.right, h = client.bottom;
    const std::vector<std::uint32_t> image = readWindow(w, h);
    EXPECT_EQ(image[static_cast<std::size_t>(2) * w + w / 2], 0xFF0000u) << "top row";
    EXPECT_EQ(image[static_cast<std::size_t>(h - 3) * w + w / 2], 0x00FF00u) << "bottom row";
}

TEST_F(WindowedDevice, AnotherAspectIsLetterboxed)
{
    D3DPRESENT_PARAMETERS p = windowedParameters();
    p.Windowed = FALSE;
    p.BackBufferWidth = 800;
    p.BackBufferHeight = 600;
    p.BackBufferFormat = D3DFMT_X8R8G8B8;
    open(WS_POPUP, 1000, 600, p);
    waitForWindow();
    presentHalves();
    const d3dgl::LetterboxRect rect = d3dgl::letterbox(800, 600, 1000, 600);
    ASSERT_EQ(rect.x, 100);
    const std::vector<std::uint32_t> image = readWindow(1000, 600);
    EXPECT_EQ(image[100 * 1000 + 50], 0x000000u) << "left bar";
    EXPECT_EQ(image[100 * 1000 + 950], 0x000000u) << "right bar";
    EXPECT_EQ(image[100 * 1000 + 500], 0xFF0000u);
    EXPECT_EQ(image[500 * 1000 + 500], 0x00FF00u);
}

TEST(Letterbox, KeepsTheAspectAndCentres)
{
    struct Case {
        int sw, sh, ww, wh;
        d3dgl::LetterboxRect expected;
    };
    const Case cases[] = {
        {800, 600, 800, 600, {0, 0, 800, 600}},    {800, 600, 1920, 1080, {240, 0, 1440, 1080}},
        {800, 600, 1280, 1024, {0, 32, 1280, 960}}, {800, 600, 0, 600, {0, 0, 0, 0}},
        {640, 480, 641, 481, {0, 0, 641, 480}},
    };
    for (const Case& c : cases) {
        const d3dgl::LetterboxRect r = d3dgl::letterbox(c.sw, c.sh, c.ww, c.wh);
        EXPECT_EQ(r.x, c.expected.x) << c.ww << "x" << c.wh;
        EXPECT_EQ(r.y, c.expected.y) << c.ww << "x" << c.wh;
        EXPECT_EQ(r.width, c.expected.width) << c.ww << "x" << c.wh;
        EXPECT_EQ(r.height, c.expected.height) << c.ww << "x" << c.wh;
    }
}
