// The image blitter drawn on the headless OpenGL device: where pictures land, texel for pixel,
// and what the two alpha rules and the blend modes put into the back buffer.

#include "blitter_test_support.h"
#include "support/gpu_required.h"
#include "content2d/image_blitter.h"
#include "platform/d3d9/direct3d.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

constexpr unsigned kWidth = 800;
constexpr unsigned kHeight = 600;

struct Rgb {
    int r, g, b;
};

Rgb rgbOf(D3DCOLOR c)
{
    return {int((c >> 16) & 0xFF), int((c >> 8) & 0xFF), int(c & 0xFF)};
}

class ImageBlitterPixelsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        direct3d_ = createHeadlessDirect3D9();
        if (!direct3d_) DEMO_SKIP_WITHOUT_GPU("no headless OpenGL device on this machine");
        D3DPRESENT_PARAMETERS pp{};
        pp.BackBufferWidth = kWidth;
        pp.BackBufferHeight = kHeight;
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
        pp.BackBufferCount = 1;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.Windowed = TRUE;
        pp.EnableAutoDepthStencil = TRUE;
        pp.AutoDepthStencilFormat = D3DFMT_D24S8;
        ASSERT_EQ(direct3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr,
                                          D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device),
                  D3D_OK);
        ASSERT_NE(device, nullptr);
    }
    void TearDown() override
    {
        safeRelease(readback_);
        safeRelease(device);
        safeRelease(direct3d_);
    }

    std::unique_ptr<ImageBlitter> load(const std::string& name)
    {
        return std::make_unique<ImageBlitter>(device, name, kWidth, kHeight, false, 0xFFFFFFFFu);
    }

    // Clears to `background`, draws the blitter once at (x, y) and reads the frame back.
    void drawOnce(ImageBlitter& blitter, float x, float y, D3DCOLOR background = 0xFF000000)
    {
        blitter.x = x;
        blitter.y = y;
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, background, 1.0f, 0);
        device->BeginScene();
        blitter.draw(0);
        device->EndScene();
        readBack();
    }

    void readBack()
    {
        IDirect3DSurface9* target = nullptr;
        ASSERT_EQ(device->GetRenderTarget(0, &target), D3D_OK);
        if (!readback_) {
            ASSERT_EQ(device->CreateOffscreenPlainSurface(kWidth, kHeight, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &readback_,
                                                          nullptr),
                      D3D_OK);
        }
        ASSERT_EQ(device->GetRenderTargetData(target, readback_), D3D_OK);
        target->Release();
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(readback_->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        frame_.assign(std::size_t(kWidth) * kHeight, 0);
        for (unsigned y = 0; y < kHeight; ++y)
            std::memcpy(&frame_[std::size_t(y) * kWidth], static_cast<const std::uint8_t*>(locked.pBits) + y * locked.Pitch,
                        kWidth * 4);
        readback_->UnlockRect();
    }

    D3DCOLOR pixel(unsigned x, unsigned y) const { return frame_[std::size_t(y) * kWidth + x] & 0xFFFFFF; }

    // Every texel of the picture on the pixel it belongs to, within tolerance per channel;
    // and the pixels just outside the picture's edges untouched.
    void expectPictureAt(const TestPicture& picture, unsigned x0, unsigned y0, int tolerance, D3DCOLOR background)
    {
        int worst = 0;
        unsigned worstX = 0, worstY = 0;
        for (unsigned y = 0; y < picture.height; ++y)
            for (unsigned x = 0; x < picture.width; ++x) {
                const Rgb want = rgbOf(picture.argb(x, y)), got = rgbOf(pixel(x0 + x, y0 + y));
                const int error = std::max({std::abs(want.r - got.r), std::abs(want.g - got.g), std::abs(want.b - got.b)});
                if (error > worst) worst = error, worstX = x, worstY = y;
            }
        EXPECT_LE(worst, tolerance) << "texel " << worstX << "," << worstY << " drawn as " << std::hex
                                    << pixel(x0 + worstX, y0 + worstY) << ", wanted " << picture.argb(worstX, worstY);
        const D3DCOLOR bg = background & 0xFFFFFF;
        for (unsigned y = 0; y < picture.height; ++y) {
            if (x0 > 0) {
                EXPECT_EQ(pixel(x0 - 1, y0 + y), bg) << "left of row " << y;
            }
            EXPECT_EQ(pixel(x0 + picture.width, y0 + y), bg) << "right of row " << y;
        }
        for (unsigned x = 0; x < picture.width; ++x) {
            if (y0 > 0) {
                EXPECT_EQ(pixel(x0 + x, y0 - 1), bg) << "above column " << x;
            }
            EXPECT_EQ(pixel(x0 + x, y0 + picture.height), bg) << "below column " << x;
        }
    }

    ScratchDirectory scratch;
    IDirect3DDevice9* device = nullptr;

private:
    IDirect3D9* direct3d_ = nullptr;
    IDirect3DSurface9* readback_ = nullptr;
    std::vector<std::uint32_t> frame_;
};

TEST_F(ImageBlitterPixelsTest, EachFileKindLandsTexelForPixel)
{
    const TestPicture pattern = patternPicture(61, 47, 3);
    const TestPicture blocks = blockPicture(64, 48, 8); // JPEG keeps flat 8 × 8 blocks nearly exact
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const TestPicture* picture;
        int tolerance;
    } files[] = {{"p.png", encodePng(pattern), &pattern, 0},
                 {"p.tga", encodeTga(pattern), &pattern, 0},
                 {"p.bmp", encodeBmp(pattern), &pattern, 0},
                 {"p.jpg", encodeJpeg(blocks, 100), &blocks, 12}};
    const D3DCOLOR background = 0xFF204060;
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        writeBytes(f.name, f.bytes);
        auto blitter = load(f.name);
        blitter->additive = false;
        for (auto [x, y] : {std::pair{0u, 0u}, std::pair{37u, 100u}}) {
            SCOPED_TRACE(testing::Message() << "at " << x << "," << y);
            drawOnce(*blitter, float(x), float(y), background);
            expectPictureAt(*f.picture, x, y, f.tolerance, background);
        }
    }
}

TEST_F(ImageBlitterPixelsTest, PictureAtTheScreenCornerCoversItsTopLeftPixel)
{
    const TestPicture picture = solidPicture(4, 4, 3, 0xFF800000);
    writeBytes("red.png", encodePng(picture));
    auto blitter = load("red.png");
    blitter->additive = false;
    drawOnce(*blitter, 0, 0);
    EXPECT_EQ(pixel(0, 0), 0xFF8000u);
    EXPECT_EQ(pixel(3, 3), 0xFF8000u);
    EXPECT_EQ(pixel(4, 0), 0u);
    EXPECT_EQ(pixel(0, 4), 0u);
}

TEST_F(ImageBlitterPixelsTest, SolidColourAtHalfAlphaBlendsWithAlpha128)
{
    auto blitter = std::make_unique<ImageBlitter>(device, "", kWidth, kHeight, true, 0xFFFFFFFFu);
    blitter->additive = false;
    blitter->alpha = 0.5f;
    drawOnce(*blitter, 0, 0);
    EXPECT_EQ(pixel(0, 0), 0x808080u);
    EXPECT_EQ(pixel(400, 300), 0x808080u);
    EXPECT_EQ(pixel(799, 599), 0x808080u);
}

TEST_F(ImageBlitterPixelsTest, PictureAtHalfAlphaBlendsWithTextureFactor127)
{
    writeBytes("white.png", encodePng(solidPicture(16, 16, 3, 0xFFFFFF00)));
    auto blitter = load("white.png");
    blitter->additive = false;
    blitter->alpha = 0.5f;
    drawOnce(*blitter, 10, 10);
    EXPECT_EQ(pixel(10, 10), 0x7F7F7Fu);
    EXPECT_EQ(pixel(25, 25), 0x7F7F7Fu);
    EXPECT_EQ(pixel(26, 26), 0u);
}

TEST_F(ImageBlitterPixelsTest, AdditiveAddsColourOntoTheBackground)
{
    auto colour = std::make_unique<ImageBlitter>(device, "", kWidth, kHeight, true, 0xFF323C46u);
    colour->additive = true;
    drawOnce(*colour, 0, 0, 0xFF643214);
    EXPECT_EQ(pixel(123, 456), 0x966E5Au); // (100 + 50, 50 + 60, 20 + 70)

    writeBytes("grey.png", encodePng(solidPicture(8, 8, 3, 0x50505000)));
    auto picture = load("grey.png");
    picture->additive = true;
    drawOnce(*picture, 5, 5, 0xFF101010);
    EXPECT_EQ(pixel(6, 6), 0x606060u);
    EXPECT_EQ(pixel(20, 20), 0x101010u);
}

TEST_F(ImageBlitterPixelsTest, OpaquePictureIsDrawnWithoutBlendingAndAlphaPicturesBlend)
{
    writeBytes("opaque.png", encodePng(patternPicture(8, 8, 3)));
    auto opaque = load("opaque.png");
    opaque->additive = false;
    opaque->alpha = 0.9995f;
    drawOnce(*opaque, 0, 0, 0xFF00FF00);
    DWORD blending = TRUE;
    device->GetRenderState(D3DRS_ALPHABLENDENABLE, &blending);
    EXPECT_EQ(blending, DWORD(FALSE));
    expectPictureAt(patternPicture(8, 8, 3), 0, 0, 0, 0xFF00FF00);

    // A picture with its own alpha: transparent texels leave the background, half ones mix.
    TestPicture holes = solidPicture(4, 1, 4, 0xFF0000FF);
    holes.pixels[1 * 4 + 3] = 0;   // texel 1 transparent
    holes.pixels[2 * 4 + 3] = 128; // texel 2 half
    writeBytes("holes.png", encodePng(holes));
    auto withAlpha = load("holes.png");
    withAlpha->additive = false;
    drawOnce(*withAlpha, 0, 0, 0xFF0000FF);
    EXPECT_EQ(pixel(0, 0), 0xFF0000u);
    EXPECT_EQ(pixel(1, 0), 0x0000FFu);
    const Rgb mixed = rgbOf(pixel(2, 0));
    EXPECT_NEAR(mixed.r, 128, 1);
    EXPECT_NEAR(mixed.b, 127, 1);
}

TEST_F(ImageBlitterPixelsTest, SequenceShowsItsFramesAtTheirTimes)
{
    std::vector<TestPicture> frames;
    for (unsigned i = 0; i < 3; ++i) {
        frames.push_back(solidPicture(4, 4, 3, (0x40u + i * 0x40u) << 24));
        writeBytes("f" + std::to_string(i) + ".png", encodePng(frames.back()));
    }
    writeText("anim.seq", "fps=25\nf0.png\nf1.png\nf2.png\n");
    auto blitter = load("anim.seq");
    blitter->additive = false;
    for (auto [time, frame] : {std::pair{0.0f, 0}, std::pair{40.0f, 1}, std::pair{80.0f, 2}}) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        device->BeginScene();
        blitter->draw(time);
        device->EndScene();
        readBack();
        EXPECT_EQ(pixel(1, 1), frames[frame].argb(0, 0) & 0xFFFFFF) << "at " << time;
    }
}

} // namespace
