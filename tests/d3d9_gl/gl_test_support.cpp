// Harness of the OpenGL device tests (see gl_test_support.h).
#include "gl_test_support.h"
#include "support/gpu_required.h"

#include <cmath>
#include <cstdio>
#include <cstring>

::testing::AssertionResult colorNear(std::uint32_t actual, std::uint32_t expected, int tolerance, bool withAlpha)
{
    const int channels = withAlpha ? 4 : 3;
    for (int c = 0; c < channels; ++c) {
        const int a = static_cast<int>((actual >> (8 * c)) & 0xFF);
        const int e = static_cast<int>((expected >> (8 * c)) & 0xFF);
        if (std::abs(a - e) > tolerance) {
            char text[96];
            std::snprintf(text, sizeof text, "got 0x%08X, expected 0x%08X (tolerance %d)", actual, expected, tolerance);
            return ::testing::AssertionFailure() << text;
        }
    }
    return ::testing::AssertionSuccess();
}

void GlDeviceTest::SetUp()
{
    errorsAtStart_ = d3dgl::glErrorsSeen();
    direct3d = createHeadlessDirect3D9();
    if (!direct3d) DEMO_SKIP_WITHOUT_GPU("EGL offers no surfaceless display here; the OpenGL device cannot run");
    createDevice(DeviceOptions{});
}

void GlDeviceTest::createDevice(const DeviceOptions& options)
{
    releaseDevice();
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferWidth = options.width;
    parameters.BackBufferHeight = options.height;
    parameters.BackBufferFormat = options.format;
    parameters.BackBufferCount = 1;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.Windowed = options.windowed;
    parameters.EnableAutoDepthStencil = options.autoDepth;
    parameters.AutoDepthStencilFormat = options.depthFormat;
    const HRESULT result = direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr,
                                                  D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &device);
    ASSERT_EQ(result, D3D_OK) << "CreateDevice failed";
    ASSERT_NE(device, nullptr);
}

void GlDeviceTest::releaseDevice()
{
    if (device) {
        const ULONG left = device->Release();
        EXPECT_EQ(left, 0u) << "the device is still referenced";
        device = nullptr;
    }
}

void GlDeviceTest::TearDown()
{
    releaseDevice();
    safeRelease(direct3d);
    EXPECT_EQ(d3dgl::glErrorsSeen(), errorsAtStart_) << "OpenGL error: " << d3dgl::lastGlErrorText();
}

Image GlDeviceTest::readSurface(IDirect3DSurface9* surface)
{
    Image image;
    D3DSURFACE_DESC desc{};
    EXPECT_EQ(surface->GetDesc(&desc), D3D_OK);
    IDirect3DSurface9* copy = nullptr;
    EXPECT_EQ(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, &copy,
                                                  nullptr),
              D3D_OK);
    if (!copy) return image;
    EXPECT_EQ(device->GetRenderTargetData(surface, copy), D3D_OK);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    image.width = desc.Width;
    image.height = desc.Height;
    image.pixels.resize(static_cast<std::size_t>(desc.Width) * desc.Height);
    for (UINT y = 0; y < desc.Height; ++y)
        std::memcpy(&image.pixels[static_cast<std::size_t>(y) * desc.Width],
                    static_cast<const std::uint8_t*>(locked.pBits) + static_cast<std::size_t>(y) * locked.Pitch,
                    desc.Width * 4u);
    copy->UnlockRect();
    copy->Release();
    return image;
}

Image GlDeviceTest::readTarget()
{
    IDirect3DSurface9* target = nullptr;
    EXPECT_EQ(device->GetRenderTarget(0, &target), D3D_OK);
    if (!target) return Image{};
    Image image = readSurface(target);
    target->Release();
    return image;
}

IDirect3DTexture9* GlDeviceTest::makeTexture(UINT width, UINT height, D3DFORMAT format,
                                             const std::vector<std::uint32_t>& argb, UINT levels)
{
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(width, height, levels, 0, format, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    if (!texture) return nullptr;
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (UINT y = 0; y < height; ++y) {
        auto* row = static_cast<std::uint8_t*>(locked.pBits) + static_cast<std::size_t>(y) * locked.Pitch;
        for (UINT x = 0; x < width; ++x) {
            const std::uint32_t value = argb[static_cast<std::size_t>(y) * width + x];
            if (format == D3DFMT_L8)
                row[x] = static_cast<std::uint8_t>(value & 0xFF);
            else
                std::memcpy(row + 4 * x, &value, 4);
        }
    }
    EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
    return texture;
}

D3DMATRIX matrixRows(std::initializer_list<float> values)
{
    D3DMATRIX m{};
    int i = 0;
    for (float v : values) {
        m.m[i / 4][i % 4] = v;
        ++i;
    }
    return m;
}

D3DMATRIX orthoOffCenter(float l, float r, float b, float t, float zn, float zf)
{
    return matrixRows({2.0f / (r - l), 0, 0, 0, 0, 2.0f / (t - b), 0, 0, 0, 0, 1.0f / (zf - zn), 0,
                       (l + r) / (l - r), (t + b) / (b - t), zn / (zn - zf), 1});
}

D3DMATRIX perspectiveFov(float fovY, float aspect, float zn, float zf)
{
    const float ys = 1.0f / std::tan(fovY / 2.0f), xs = ys / aspect;
    return matrixRows({xs, 0, 0, 0, 0, ys, 0, 0, 0, 0, zf / (zf - zn), 1, 0, 0, -zn * zf / (zf - zn), 0});
}
