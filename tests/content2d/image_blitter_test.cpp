// The image blitter on the recording device: what it loads, the states, transforms and quad of
// a draw, the two alpha byte rules, sequence stepping and the load failures.

#include "archive/archive_access.h"
#include "archive/container_writer.h"
#include "archive/resource_archive.h"
#include "blitter_test_support.h"
#include "content2d/image_blitter.h"
#include "platform/d3d9/trace/tracing_device.h"
#include "platform/d3dx/d3dx_math.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <sstream>

namespace {

constexpr unsigned kScreenWidth = 800;
constexpr unsigned kScreenHeight = 600;

class ImageBlitterTest : public ::testing::Test {
protected:
    ImageBlitterTest()
    {
        setTheArchive(nullptr);
        device->BeginScene();
    }
    ~ImageBlitterTest() override { device->Release(); }

    std::unique_ptr<ImageBlitter> load(const std::string& name)
    {
        return std::make_unique<ImageBlitter>(device, name, kScreenWidth, kScreenHeight, false, 0xFFFFFFFFu);
    }
    std::unique_ptr<ImageBlitter> colour(D3DCOLOR argb)
    {
        return std::make_unique<ImageBlitter>(device, "", kScreenWidth, kScreenHeight, true, argb);
    }
    DWORD state(D3DRENDERSTATETYPE s) const { return device->renderState(s); }
    DWORD stage(DWORD st, D3DTEXTURESTAGESTATETYPE t) const { return device->stageState(st, t); }

    ScratchDirectory scratch;
    RecordingDevice* device = new RecordingDevice(kScreenWidth, kScreenHeight, D3DFMT_X8R8G8B8);
};

// A device whose textures are bigger than asked (as a powers-of-two-only card would make them)
// or in another format than asked.
class BendingDevice : public TracingDevice {
public:
    using TracingDevice::TracingDevice;
    UINT padTo = 0;
    D3DFORMAT forcedFormat = D3DFMT_UNKNOWN;
    IDirect3DTexture9* lastTexture = nullptr;

    HRESULT CreateTexture(UINT w, UINT h, UINT l, DWORD u, D3DFORMAT f, D3DPOOL p, IDirect3DTexture9** t,
                          HANDLE* s) override
    {
        const HRESULT hr = inner()->CreateTexture(padTo ? padTo : w, padTo ? padTo : h, l, u,
                                                 forcedFormat ? forcedFormat : f, p, t, s);
        lastTexture = *t;
        return hr;
    }
};

// ---------------------------------------------------------------------------------------------
// Loading

TEST_F(ImageBlitterTest, StillPictureIsUploadedIntoADynamicTextureOfItsSize)
{
    const TestPicture picture = patternPicture(5, 3, 4);
    writeBytes("still.png", encodePng(picture));
    const std::size_t memoryBefore = device->memoryInUse();
    BendingDevice bending(device);
    auto blitter = std::make_unique<ImageBlitter>(&bending, "still.png", kScreenWidth, kScreenHeight, false, 0xFFFFFFFFu);
    EXPECT_EQ(blitter->imageWidth(), 5u);
    EXPECT_EQ(blitter->imageHeight(), 3u);
    EXPECT_TRUE(blitter->hasAlpha());
    EXPECT_EQ(blitter->frameCount(), 0u);
    EXPECT_NE(findCall(*device, "CreateTexture 5 3 1 512 21 0 @"), std::string::npos); // dynamic, default pool
    EXPECT_EQ(texelsOf(bending.lastTexture), pixelsOf(picture));

    device->clearCalls();
    blitter->draw(0);
    EXPECT_NE(findCall(*device, "SetTexture 0 @"), findCall(*device, "SetTexture 0 @0")); // bound for the draw
    EXPECT_EQ(device->texture(0), nullptr);                                               // and unbound after

    // The decoding surface went as soon as the picture was in the texture; the texture goes
    // with the blitter.
    blitter.reset();
    EXPECT_EQ(device->memoryInUse(), memoryBefore);
}

TEST_F(ImageBlitterTest, TextureFormatDecidesWhetherThePictureHasAlpha)
{
    const struct {
        unsigned channels;
        bool hasAlpha;
    } cases[] = {{4, true}, {2, true}, {1, true}, {3, false}};
    for (const auto& c : cases) {
        writeBytes("p.png", encodePng(patternPicture(4, 4, c.channels)));
        EXPECT_EQ(load("p.png")->hasAlpha(), c.hasAlpha) << c.channels << " channels";
    }
}

TEST_F(ImageBlitterTest, TextureContentIsThePictureForEveryFileKind)
{
    BendingDevice bending(device);
    const TestPicture rgba = patternPicture(6, 4, 4), rgb = patternPicture(6, 4, 3);
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const TestPicture* picture;
    } files[] = {{"a.png", encodePng(rgba), &rgba}, {"b.tga", encodeTga(rgba), &rgba},
                 {"c.bmp", encodeBmp(rgb), &rgb}, {"d.TGA", encodeTga(rgb), &rgb}};
    for (const auto& f : files) {
        writeBytes(f.name, f.bytes);
        ImageBlitter blitter(&bending, f.name, kScreenWidth, kScreenHeight, false, 0xFFFFFFFFu);
        EXPECT_EQ(texelsOf(bending.lastTexture), pixelsOf(*f.picture)) << f.name;
    }
}

TEST_F(ImageBlitterTest, PictureIsFoundInTheArchiveWhenNotOnTheDisk)
{
    const TestPicture inArchive = solidPicture(2, 2, 3, 0x11223300), onDisk = solidPicture(2, 2, 3, 0x44556600);
    const ContainerResult container = writeContainer(
        {{"archived.png", encodePng(inArchive), 0}, {"both.png", encodePng(inArchive), 0}}, 0);
    ASSERT_TRUE(container.error.empty()) << container.error;
    writeBytes("demo.cfl", container.bytes);
    writeBytes("both.png", encodePng(onDisk));
    ResourceArchive archive;
    ASSERT_TRUE(archive.open("demo.cfl"));
    setTheArchive(&archive);

    BendingDevice bending(device);
    {
        ImageBlitter fromArchive(&bending, "archived.png", kScreenWidth, kScreenHeight, false, 0xFFFFFFFFu);
        EXPECT_EQ(texelsOf(bending.lastTexture), pixelsOf(inArchive));
        ImageBlitter fromDisk(&bending, "both.png", kScreenWidth, kScreenHeight, false, 0xFFFFFFFFu);
        EXPECT_EQ(texelsOf(bending.lastTexture), pixelsOf(onDisk));
    }
    setTheArchive(nullptr);
}

// ---------------------------------------------------------------------------------------------
// Drawing: states, transforms, quad

TEST_F(ImageBlitterTest, DrawSetsThePictureStatesAndRestoresTransforms)
{
    writeBytes("opaque.png", encodePng(patternPicture(64, 32, 3)));
    auto blitter = load("opaque.png");
    D3DXMATRIX projection, view;
    D3DXMatrixPerspectiveFovLH(&projection, 1.0f, 1.5f, 1, 100);
    D3DXMatrixTranslation(&view, 1, 2, 3);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->clearCalls();

    blitter->x = 37;
    blitter->y = 100;
    blitter->additive = false;
    blitter->alpha = 1.0f;
    blitter->draw(0);

    EXPECT_EQ(stage(0, D3DTSS_COLOROP), DWORD(D3DTOP_SELECTARG1));
    EXPECT_EQ(stage(0, D3DTSS_COLORARG1), D3DTA_TEXTURE);
    EXPECT_EQ(stage(0, D3DTSS_ALPHAARG1), D3DTA_TEXTURE);
    EXPECT_EQ(stage(0, D3DTSS_ALPHAOP), DWORD(D3DTOP_SELECTARG1));
    EXPECT_EQ(stage(1, D3DTSS_COLOROP), DWORD(D3DTOP_DISABLE));
    EXPECT_EQ(stage(1, D3DTSS_ALPHAOP), DWORD(D3DTOP_DISABLE));
    EXPECT_EQ(device->samplerState(0, D3DSAMP_MAGFILTER), DWORD(D3DTEXF_POINT));
    EXPECT_EQ(device->samplerState(0, D3DSAMP_MINFILTER), DWORD(D3DTEXF_POINT));
    EXPECT_EQ(state(D3DRS_ALPHABLENDENABLE), DWORD(FALSE)); // X8R8G8B8, opaque, not additive
    EXPECT_EQ(state(D3DRS_BLENDOP), DWORD(D3DBLENDOP_ADD));
    EXPECT_EQ(state(D3DRS_SRCBLEND), DWORD(D3DBLEND_SRCALPHA));
    EXPECT_EQ(state(D3DRS_DESTBLEND), DWORD(D3DBLEND_INVSRCALPHA));
    EXPECT_EQ(device->fvf(), D3DFVF_XYZ | D3DFVF_TEX1);

    // Depth and lighting are off for the draw and on afterwards, whatever they were before.
    const std::size_t draw = findCall(*device, "DrawPrimitiveUP 5 2 20 ");
    ASSERT_NE(draw, std::string::npos);
    for (int s : {D3DRS_ZENABLE, D3DRS_ZWRITEENABLE, D3DRS_LIGHTING}) {
        const std::string prefix = "SetRenderState " + std::to_string(s) + " ";
        const std::size_t off = findCall(*device, prefix + "0");
        const std::size_t on = findCall(*device, prefix + "1");
        EXPECT_LT(off, draw) << s;
        EXPECT_GT(on, draw) << s;
        EXPECT_NE(on, std::string::npos) << s;
        EXPECT_EQ(state(D3DRENDERSTATETYPE(s)), DWORD(TRUE)) << s;
    }
    EXPECT_EQ(device->texture(0), nullptr);
    EXPECT_EQ(D3DXMATRIX(device->transform(D3DTS_PROJECTION)), projection);
    EXPECT_EQ(D3DXMATRIX(device->transform(D3DTS_VIEW)), view);

    // The world transform stays at the blitter's placement: texel (0, 0) on pixel (37, 100)
    // needs the quad's left edge at x − 0.5 and its top at (600 − 32) − 100 + 0.5 + 32.
    D3DXMATRIX expectedWorld;
    D3DXMatrixTranslation(&expectedWorld, 36.5f, 468.5f, 0);
    EXPECT_EQ(D3DXMATRIX(device->transform(D3DTS_WORLD)), expectedWorld);
}

TEST_F(ImageBlitterTest, ScreenProjectionMapsTheQuadOntoPixelEdges)
{
    writeBytes("p.png", encodePng(patternPicture(64, 32, 3)));
    auto blitter = load("p.png");
    blitter->x = 37;
    blitter->y = 100;
    device->clearCalls();
    blitter->draw(0);

    // The first projection set is the blitter's own (the second restores the caller's).
    const std::size_t set = findCall(*device, "SetTransform 3 ");
    ASSERT_NE(set, std::string::npos);
    std::istringstream fields(device->calls()[set].substr(std::string("SetTransform 3 ").size()));
    D3DXMATRIX used;
    for (unsigned i = 0; i < 16; ++i) fields >> used.m[i / 4][i % 4];
    D3DXMATRIX projection;
    D3DXMatrixOrthoOffCenterLH(&projection, 0, 800, 0, 600, 0, 1);
    EXPECT_EQ(used, projection);

    const D3DXMATRIX world(device->transform(D3DTS_WORLD));
    const std::vector<QuadVertex> quad = lastDrawnVertices(*device);
    ASSERT_EQ(quad.size(), 4u);
    // Direct3D screen position of the corners, (x_ndc + 1) · 400 and (1 − y_ndc) · 300: the
    // quad's edges lie half a pixel outside the pixel centres of (37, 100) and (100, 131).
    const D3DXMATRIX worldProjection = world * used;
    const D3DXVECTOR3 topLeft(quad[1].x, quad[1].y, quad[1].z), bottomRight(quad[2].x, quad[2].y, quad[2].z);
    D3DXVECTOR3 clip;
    D3DXVec3TransformCoord(&clip, &topLeft, &worldProjection);
    EXPECT_NEAR((clip.x + 1) * 400, 36.5f, 1e-3f);
    EXPECT_NEAR((1 - clip.y) * 300, 99.5f, 1e-3f);
    EXPECT_NEAR(clip.z, 1.0f, 1e-6f);
    D3DXVec3TransformCoord(&clip, &bottomRight, &worldProjection);
    EXPECT_NEAR((clip.x + 1) * 400, 100.5f, 1e-3f);
    EXPECT_NEAR((1 - clip.y) * 300, 131.5f, 1e-3f);
}

TEST_F(ImageBlitterTest, PictureTallerThanTheScreenStillSitsAtY)
{
    // (screen height − picture height) is negative here; worked in unsigned it would wrap and
    // throw the picture billions of pixels away.
    writeBytes("tall.png", encodePng(patternPicture(4, 700, 3)));
    auto blitter = load("tall.png");
    blitter->y = 10;
    blitter->draw(0);
    D3DXMATRIX expected;
    EXPECT_EQ(D3DXMATRIX(device->transform(D3DTS_WORLD)), *D3DXMatrixTranslation(&expected, -0.5f, -109.5f, 0));
}

TEST_F(ImageBlitterTest, QuadIsTheTemplateScaledToThePicture)
{
    writeBytes("p.png", encodePng(patternPicture(48, 20, 4)));
    auto blitter = load("p.png");
    blitter->draw(0);
    const std::vector<QuadVertex> quad = lastDrawnVertices(*device);
    ASSERT_EQ(quad.size(), 4u);
    const QuadVertex expected[4] = {{0, 0, 1, 0, 1}, {0, 20, 1, 0, 0}, {48, 0, 1, 1, 1}, {48, 20, 1, 1, 0}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(quad[i].x, expected[i].x) << i;
        EXPECT_EQ(quad[i].y, expected[i].y) << i;
        EXPECT_EQ(quad[i].z, expected[i].z) << i;
        EXPECT_EQ(quad[i].u, expected[i].u) << i;
        EXPECT_EQ(quad[i].v, expected[i].v) << i;
    }
}

TEST_F(ImageBlitterTest, QuadTexCoordsCoverOnlyThePictureInABiggerTexture)
{
    writeBytes("p.png", encodePng(patternPicture(48, 20, 4)));
    BendingDevice bending(device);
    bending.padTo = 64;
    ImageBlitter blitter(&bending, "p.png", kScreenWidth, kScreenHeight, false, 0xFFFFFFFFu);
    blitter.draw(0);
    const std::vector<QuadVertex> quad = lastDrawnVertices(*device);
    ASSERT_EQ(quad.size(), 4u);
    EXPECT_EQ(quad[3].x, 48.0f);
    EXPECT_EQ(quad[3].u, 48.0f / 64);
    EXPECT_EQ(quad[0].v, 20.0f / 64);
    EXPECT_EQ(quad[1].v, 0.0f);
    // The picture sits in the texture's top-left corner; the rest is cleared.
    const std::vector<D3DCOLOR> texels = texelsOf(bending.lastTexture);
    EXPECT_EQ(texels[0], patternPicture(48, 20, 4).argb(0, 0));
    EXPECT_EQ(texels[63 * 64 + 63], 0u);
}

TEST_F(ImageBlitterTest, PictureBlendingDecisions)
{
    writeBytes("x8.png", encodePng(patternPicture(8, 8, 3)));
    writeBytes("a8.png", encodePng(patternPicture(8, 8, 4)));
    writeBytes("l8.png", encodePng(patternPicture(8, 8, 1)));
    const struct {
        const char* file;
        float alpha;
        bool additive;
        bool blend;
        DWORD alphaOp;
    } cases[] = {
        {"x8.png", 1.0f, false, false, D3DTOP_SELECTARG1},  {"x8.png", 0.999f, false, false, D3DTOP_SELECTARG1},
        {"x8.png", 0.9989f, false, true, D3DTOP_MODULATE},  {"x8.png", 1.0f, true, true, D3DTOP_SELECTARG1},
        {"a8.png", 1.0f, false, true, D3DTOP_SELECTARG1},   {"l8.png", 1.0f, false, true, D3DTOP_SELECTARG1},
        {"x8.png", 0.0f, false, true, D3DTOP_MODULATE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.file << " alpha " << c.alpha << " additive " << c.additive);
        auto blitter = load(c.file);
        blitter->alpha = c.alpha;
        blitter->additive = c.additive;
        blitter->draw(0);
        EXPECT_EQ(state(D3DRS_ALPHABLENDENABLE), DWORD(c.blend ? TRUE : FALSE));
        EXPECT_EQ(stage(0, D3DTSS_ALPHAOP), c.alphaOp);
        EXPECT_EQ(state(D3DRS_SRCBLEND), DWORD(c.additive ? D3DBLEND_ONE : D3DBLEND_SRCALPHA));
        EXPECT_EQ(state(D3DRS_DESTBLEND), DWORD(c.additive ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA));
        if (c.alphaOp == D3DTOP_MODULATE) {
            EXPECT_EQ(stage(0, D3DTSS_ALPHAARG2), D3DTA_TFACTOR);
        }
    }
}

TEST_F(ImageBlitterTest, PictureTextureFactorTruncatesTheLayerAlpha)
{
    writeBytes("p.png", encodePng(patternPicture(8, 8, 4)));
    auto blitter = load("p.png");
    const struct {
        float alpha;
        DWORD factor;
    } cases[] = {{0.5f, 127u << 24}, {0.25f, 63u << 24}, {0.9989f, 254u << 24}, {0.0f, 0}, {-0.5f, 0}};
    for (const auto& c : cases) {
        blitter->alpha = c.alpha;
        blitter->draw(0);
        EXPECT_EQ(state(D3DRS_TEXTUREFACTOR), c.factor) << c.alpha;
    }
    // At full alpha the factor is not touched.
    device->SetRenderState(D3DRS_TEXTUREFACTOR, 0x12345678);
    blitter->alpha = 1.0f;
    blitter->draw(0);
    EXPECT_EQ(state(D3DRS_TEXTUREFACTOR), 0x12345678u);
}

TEST_F(ImageBlitterTest, SolidColourDrawsTheTextureFactorOverTheScreen)
{
    auto blitter = colour(0xFF336699);
    EXPECT_EQ(device->countCalls("CreateTexture"), 0u);
    EXPECT_EQ(device->countCalls("CreateOffscreenPlainSurface"), 0u);
    blitter->additive = false;
    blitter->alpha = 0.5f;
    blitter->draw(0);

    // 0.5 × 255 + 0.5 = 128: the colour path rounds where the picture path truncates.
    EXPECT_EQ(state(D3DRS_TEXTUREFACTOR), 0x80336699u);
    EXPECT_EQ(stage(0, D3DTSS_COLOROP), DWORD(D3DTOP_SELECTARG1));
    EXPECT_EQ(stage(0, D3DTSS_ALPHAOP), DWORD(D3DTOP_SELECTARG1));
    EXPECT_EQ(stage(0, D3DTSS_COLORARG1), D3DTA_TFACTOR);
    EXPECT_EQ(stage(0, D3DTSS_ALPHAARG1), D3DTA_TFACTOR);
    EXPECT_EQ(findCall(*device, "SetTexture 0 @0"), findCall(*device, "SetTexture 0 "));

    const std::vector<QuadVertex> quad = lastDrawnVertices(*device);
    ASSERT_EQ(quad.size(), 4u);
    EXPECT_EQ(quad[3].x, 800.0f);
    EXPECT_EQ(quad[3].y, 600.0f);
    EXPECT_EQ(quad[0].v, 1.0f);
    D3DXMATRIX world;
    EXPECT_EQ(D3DXMATRIX(device->transform(D3DTS_WORLD)), *D3DXMatrixTranslation(&world, -0.5f, 0.5f, 0));
}

TEST_F(ImageBlitterTest, SolidColourAlphaAndBlending)
{
    const struct {
        D3DCOLOR colour;
        float alpha;
        bool additive;
        DWORD factor;
        bool blend;
    } cases[] = {
        {0xFF336699, 1.0f, false, 0xFF336699, false}, {0xFF336699, 1.0f, true, 0xFF336699, true},
        {0xFF336699, 0.25f, false, 0x40336699, true}, {0x80FFFFFF, 1.0f, false, 0x80FFFFFF, true},
        {0x80FFFFFF, 0.5f, false, 0x40FFFFFF, true},  {0xFF000000, 0.999f, false, 0xFF000000, false},
        {0xFF000000, -1.0f, false, 0x00000000, true},
    };
    for (const auto& c : cases) {
        auto blitter = colour(c.colour);
        blitter->alpha = c.alpha;
        blitter->additive = c.additive;
        blitter->draw(0);
        EXPECT_EQ(state(D3DRS_TEXTUREFACTOR), c.factor) << std::hex << c.colour << " " << c.alpha;
        EXPECT_EQ(state(D3DRS_ALPHABLENDENABLE), DWORD(c.blend ? TRUE : FALSE)) << std::hex << c.colour << " " << c.alpha;
    }
}

// A layer blended over at alpha 0 leaves the screen as it was, so its quad is not drawn; an
// added one still shows (the colour is added whatever the alpha), and so does any alpha byte
// above 0. The states are those of a drawn quad either way.
TEST_F(ImageBlitterTest, OnlyQuadsThatChangeNoPixelAreSkipped)
{
    writeBytes("a8.png", encodePng(patternPicture(8, 8, 4)));
    const struct {
        bool solid;
        D3DCOLOR colour;
        float alpha;
        bool additive;
        bool drawn;
    } cases[] = {
        {false, 0, 0.0f, false, false},          {false, 0, -0.5f, false, false},
        {false, 0, 0.0039f, false, false},       // truncates to byte 0
        {false, 0, 0.004f, false, true},         {false, 0, 0.0f, true, true},
        {false, 0, 1.0f, false, true},           {true, 0xFFFFFFFF, 0.0f, false, false},
        {true, 0xFFFFFFFF, 0.0019f, false, false}, // rounds to byte 0
        {true, 0xFFFFFFFF, 0.002f, false, true}, {true, 0xFFFFFFFF, 0.0f, true, true},
        {true, 0x00FFFFFF, 1.0f, false, false},  {true, 0xFF336699, 1.0f, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.solid ? "colour " : "picture ") << std::hex << c.colour << std::dec
                                        << " alpha " << c.alpha << " additive " << c.additive);
        auto blitter = c.solid ? colour(c.colour) : load("a8.png");
        blitter->alpha = c.alpha;
        blitter->additive = c.additive;
        const std::size_t before = device->countCalls("DrawPrimitiveUP");
        blitter->draw(0);
        EXPECT_EQ(device->countCalls("DrawPrimitiveUP") - before, c.drawn ? 1u : 0u);
        EXPECT_EQ(state(D3DRS_ZENABLE), DWORD(TRUE));
    }
}

// ---------------------------------------------------------------------------------------------
// Sequences

class ImageSequenceTest : public ImageBlitterTest {
protected:
    // Frames of 4 × 4 in three solid colours, named f0.png, f1.png, f2.png.
    void writeFrames(unsigned count)
    {
        for (unsigned i = 0; i < count; ++i) {
            frames.push_back(solidPicture(4, 4, 4, 0x10203040u + i * 0x01010101u));
            writeBytes("f" + std::to_string(i) + ".png", encodePng(frames.back()));
        }
    }
    // The frame now in the texture, by content; -1 when it matches none.
    int shownFrame(IDirect3DTexture9* texture) const
    {
        const std::vector<D3DCOLOR> texels = texelsOf(texture);
        for (std::size_t i = 0; i < frames.size(); ++i)
            if (texels == pixelsOf(frames[i])) return int(i);
        return -1;
    }
    std::vector<TestPicture> frames;
};

TEST_F(ImageSequenceTest, RateSequenceShowsFramesAtTheirTimesAndWraps)
{
    writeFrames(3);
    writeText("anim.seq", "fps=25\nf0.png\nf1.png\nf2.png\n");
    BendingDevice bending(device);
    ImageBlitter blitter(&bending, "anim.seq", kScreenWidth, kScreenHeight, false, 0xFFFFFFFFu);
    EXPECT_EQ(blitter.frameCount(), 3u);
    EXPECT_FLOAT_EQ(blitter.loopLength(), 80.0f * 4 / 3);
    EXPECT_EQ(shownFrame(bending.lastTexture), 0);

    const struct {
        float time;
        int frame;
    } steps[] = {{0, 0}, {39.9f, 0}, {40, 1}, {79, 1}, {80, 2}, {100, 2}, {106.6f, 2},
                 {107, 0}, {146.7f, 1}, {186.7f, 2}, {213.4f, 0}};
    for (const auto& s : steps) {
        blitter.draw(s.time);
        EXPECT_EQ(blitter.currentFrame(), std::size_t(s.frame)) << "at " << s.time;
        EXPECT_EQ(shownFrame(bending.lastTexture), s.frame) << "at " << s.time;
    }
}

TEST_F(ImageSequenceTest, TimeJumpsAdvanceOneFramePerDraw)
{
    writeFrames(3);
    writeText("anim.seq", "fps=25\nf0.png\nf1.png\nf2.png\n");
    auto blitter = load("anim.seq");
    blitter->draw(0);
    device->clearCalls();
    blitter->draw(80);
    EXPECT_EQ(blitter->currentFrame(), 1u);
    EXPECT_EQ(device->countCalls("TextureLockRect"), 1u); // one upload per step
    blitter->draw(80);
    EXPECT_EQ(blitter->currentFrame(), 2u);
    device->clearCalls();
    blitter->draw(81);
    EXPECT_EQ(blitter->currentFrame(), 2u);
    EXPECT_EQ(device->countCalls("TextureLockRect"), 0u); // no change, no upload
    // Past the loop's end the wrap to frame 0 is one step too.
    blitter->draw(150);
    EXPECT_EQ(blitter->currentFrame(), 0u);
}

TEST_F(ImageSequenceTest, TimedSequenceKeepsFileOrder)
{
    writeFrames(3);
    writeText("timed.seq", "# three frames\n0 f0.png\n\n100 f1.png  comment\n250 f2.png\n");
    auto blitter = load("timed.seq");
    EXPECT_FLOAT_EQ(blitter->loopLength(), 250.0f * 4 / 3);
    blitter->draw(99);
    EXPECT_EQ(blitter->currentFrame(), 0u);
    blitter->draw(100);
    EXPECT_EQ(blitter->currentFrame(), 1u);
    blitter->draw(250);
    EXPECT_EQ(blitter->currentFrame(), 2u);
    blitter->draw(333.4f); // the loop is 333.33: back near its start
    EXPECT_EQ(blitter->currentFrame(), 0u);
}

TEST_F(ImageSequenceTest, LoopOfZeroOrLessLeavesTheFirstFrameShown)
{
    writeFrames(3);
    for (const char* text : {"fps=25\nf1.png\n", "0 f1.png\n0 f0.png\n0 f2.png\n", "fps=0\nf1.png\nf0.png\n",
                             "-40 f1.png\n-80 f0.png\n"}) {
        writeText("still.seq", text);
        auto blitter = load("still.seq");
        EXPECT_LE(blitter->loopLength(), 0.0f) << text;
        for (float t : {0.0f, 40.0f, 1e6f, -5.0f, 3.4e38f}) {
            blitter->draw(t);
            EXPECT_EQ(blitter->currentFrame(), 0u) << text << " at " << t;
        }
    }
}

TEST_F(ImageSequenceTest, TinyLoopAgainstALargeTimeDoesNotHang)
{
    writeFrames(2);
    writeText("fast.seq", "0 f0.png\n1e-6 f1.png\n");
    auto blitter = load("fast.seq");
    blitter->draw(1e9f); // repeated subtraction of 2e-6 from 1e9 would never end
    blitter->draw(std::numeric_limits<float>::infinity());
    EXPECT_LT(blitter->currentFrame(), 2u);
}

TEST_F(ImageSequenceTest, FramesOfOtherSizesAndFormatsStayInsideTheTexture)
{
    // The texture takes the last frame's size (6 × 3) and format (A8R8G8B8).
    const TestPicture big = patternPicture(9, 7, 4, 1), grey = patternPicture(2, 2, 1, 2), last = patternPicture(6, 3, 4, 3);
    writeBytes("big.png", encodePng(big));
    writeBytes("grey.png", encodePng(grey));
    writeBytes("last.png", encodePng(last));
    writeText("mixed.seq", "fps=10\nbig.png\ngrey.png\nlast.png\n");
    BendingDevice bending(device);
    ImageBlitter blitter(&bending, "mixed.seq", kScreenWidth, kScreenHeight, false, 0xFFFFFFFFu);
    EXPECT_EQ(blitter.imageWidth(), 6u);
    EXPECT_EQ(blitter.imageHeight(), 3u);
    D3DSURFACE_DESC desc{};
    bending.lastTexture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 6u);
    EXPECT_EQ(desc.Height, 3u);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);

    // The big first frame: its top-left 6 × 3 corner.
    std::vector<D3DCOLOR> texels = texelsOf(bending.lastTexture);
    for (unsigned y = 0; y < 3; ++y)
        for (unsigned x = 0; x < 6; ++x) ASSERT_EQ(texels[y * 6 + x], big.argb(x, y)) << x << "," << y;

    // The small grey frame: converted, the rest cleared.
    blitter.draw(100);
    texels = texelsOf(bending.lastTexture);
    EXPECT_EQ(texels[0], grey.argb(0, 0));
    EXPECT_EQ(texels[1 * 6 + 1], grey.argb(1, 1));
    EXPECT_EQ(texels[0 * 6 + 2], 0u);
    EXPECT_EQ(texels[2 * 6 + 0], 0u);

    blitter.draw(200);
    EXPECT_EQ(texelsOf(bending.lastTexture), pixelsOf(last));
}

// ---------------------------------------------------------------------------------------------
// Failures: a box captioned "Error", then exit code 0

using ImageBlitterDeathTest = ImageBlitterTest;

TEST_F(ImageBlitterDeathTest, MissingOrUndecodablePicturesEndTheProgram)
{
    EXPECT_EXIT(load("nothere.png"), ::testing::ExitedWithCode(0), "Error: Image load failed: nothere\\.png");
    writeText("broken.png", "this is not a picture");
    EXPECT_EXIT(load("broken.png"), ::testing::ExitedWithCode(0), "Error: Image load failed: broken\\.png");
    std::vector<std::uint8_t> truncated = encodePng(patternPicture(64, 64, 4));
    truncated.resize(truncated.size() / 2);
    writeBytes("half.png", truncated);
    EXPECT_EXIT(load("half.png"), ::testing::ExitedWithCode(0), "Error: Image load failed: half\\.png");
    writeBytes("empty.png", {});
    EXPECT_EXIT(load("empty.png"), ::testing::ExitedWithCode(0), "Error: Image load failed: empty\\.png");
}

TEST_F(ImageBlitterDeathTest, SequenceFailuresNameTheFileThatFailed)
{
    EXPECT_EXIT(load("nothere.seq"), ::testing::ExitedWithCode(0), "Error: Image load failed: nothere\\.seq");
    writeText("gap.seq", "fps=25\nmissing.png\n");
    EXPECT_EXIT(load("gap.seq"), ::testing::ExitedWithCode(0), "Error: Image load failed: missing\\.png");
    // A timed line without a name word: the failing name is empty.
    writeText("noname.seq", "40\n");
    EXPECT_EXIT(load("noname.seq"), ::testing::ExitedWithCode(0), "Error: Image load failed: \n");
    // A sequence listing no frame at all.
    writeText("empty.seq", "fps=25\n# nothing here\n");
    EXPECT_EXIT(load("empty.seq"), ::testing::ExitedWithCode(0), "Error: Image load failed: empty\\.seq");
}

TEST_F(ImageBlitterDeathTest, TextureInAnotherFormatIsUnknown)
{
    writeBytes("p.png", encodePng(patternPicture(4, 4, 4)));
    BendingDevice bending(device);
    bending.forcedFormat = D3DFMT_R5G6B5;
    EXPECT_EXIT(ImageBlitter(&bending, "p.png", kScreenWidth, kScreenHeight, false, 0xFFFFFFFFu),
                ::testing::ExitedWithCode(0), "Error: Unknown texture format");
}

TEST_F(ImageBlitterDeathTest, PictureTheDeviceCannotHoldFailsToLoad)
{
    writeBytes("wide.png", encodePng(patternPicture(40, 2, 3)));
    device->caps().MaxTextureWidth = 32;
    EXPECT_EXIT(load("wide.png"), ::testing::ExitedWithCode(0), "Error: Image load failed: wide\\.png");
}

} // namespace
