// Picture decoding through the helper library's texture-file functions, on the recording
// device's memory-backed surfaces and textures.

#include "picture_fixtures.h"
#include "platform/d3d9/recording/recording_device.h"
#include "platform/d3dx/d3dx_texture_files.h"
#include "platform/d3dx/picture_decoder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

struct DeviceRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};

class D3DXPictureTest : public ::testing::Test {
protected:
    RecordingDevice* device = new RecordingDevice(64, 64, D3DFMT_X8R8G8B8);
    ~D3DXPictureTest() override { device->Release(); }

    RecordingSurface* surface(UINT width, UINT height, D3DFORMAT format)
    {
        IDirect3DSurface9* made = nullptr;
        EXPECT_EQ(device->CreateOffscreenPlainSurface(width, height, format, D3DPOOL_SYSTEMMEM, &made, nullptr), D3D_OK);
        surfaces_.emplace_back(made);
        return static_cast<RecordingSurface*>(made);
    }

    static HRESULT load(IDirect3DSurface9* target, const std::vector<std::uint8_t>& file, const RECT* destRect = nullptr,
                        const RECT* srcRect = nullptr, D3DCOLOR colorKey = 0)
    {
        return D3DXLoadSurfaceFromFileInMemory(target, nullptr, destRect, file.data(), UINT(file.size()), srcRect,
                                               D3DX_DEFAULT, colorKey, nullptr);
    }

    static D3DXIMAGE_INFO info(const std::vector<std::uint8_t>& file)
    {
        D3DXIMAGE_INFO result{};
        EXPECT_EQ(D3DXGetImageInfoFromFileInMemory(file.data(), UINT(file.size()), &result), D3D_OK);
        return result;
    }

private:
    std::vector<std::unique_ptr<IDirect3DSurface9, DeviceRelease>> surfaces_;
};

TEST_F(D3DXPictureTest, InfoGivesSizeFormatAndFileKind)
{
    struct Case {
        std::vector<std::uint8_t> file;
        D3DFORMAT format;
        D3DXIMAGE_FILEFORMAT kind;
    };
    const Case cases[] = {
        {encodePng(patternPicture(5, 3, 4)), D3DFMT_A8R8G8B8, D3DXIFF_PNG},
        {encodePng(patternPicture(5, 3, 3)), D3DFMT_X8R8G8B8, D3DXIFF_PNG},
        {encodePng(patternPicture(5, 3, 2)), D3DFMT_A8R8G8B8, D3DXIFF_PNG},
        {encodePng(patternPicture(5, 3, 1)), D3DFMT_L8, D3DXIFF_PNG},
        {encodeJpeg(patternPicture(5, 3, 3)), D3DFMT_X8R8G8B8, D3DXIFF_JPG},
        {encodeTga(patternPicture(5, 3, 4)), D3DFMT_A8R8G8B8, D3DXIFF_TGA},
        {encodeTga(patternPicture(5, 3, 3)), D3DFMT_X8R8G8B8, D3DXIFF_TGA},
        {encodeBmp(patternPicture(5, 3, 3)), D3DFMT_X8R8G8B8, D3DXIFF_BMP},
        {encodeBmp(patternPicture(5, 3, 4)), D3DFMT_A8R8G8B8, D3DXIFF_BMP},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "file kind " << c.kind << ", format " << c.format);
        const D3DXIMAGE_INFO i = info(c.file);
        EXPECT_EQ(i.Width, 5u);
        EXPECT_EQ(i.Height, 3u);
        EXPECT_EQ(i.Format, c.format);
        EXPECT_EQ(i.ImageFileFormat, c.kind);
        EXPECT_EQ(i.Depth, 1u);
        EXPECT_EQ(i.MipLevels, 1u);
        EXPECT_EQ(i.ResourceType, D3DRTYPE_TEXTURE);
    }
}

TEST_F(D3DXPictureTest, UndecodableAndOversizedPicturesAreRefused)
{
    D3DXIMAGE_INFO i{};
    const std::uint8_t text[] = "just some text, not a picture at all";
    EXPECT_EQ(D3DXGetImageInfoFromFileInMemory(text, sizeof text, &i), D3DXERR_INVALIDDATA);
    EXPECT_EQ(D3DXGetImageInfoFromFileInMemory(text, 0, &i), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXGetImageInfoFromFileInMemory(nullptr, 10, &i), D3DERR_INVALIDCALL);

    // A truncated body: the header reads, the picture does not decode.
    std::vector<std::uint8_t> png = encodePng(patternPicture(40, 40, 4));
    png.resize(png.size() / 2);
    EXPECT_EQ(D3DXGetImageInfoFromFileInMemory(png.data(), UINT(png.size()), &i), D3D_OK);
    EXPECT_EQ(load(surface(40, 40, D3DFMT_A8R8G8B8), png), D3DXERR_INVALIDDATA);
}

TEST_F(D3DXPictureTest, SurfaceLoadKeepsEveryPixelAndStepsByThePitch)
{
    for (unsigned channels : {1u, 2u, 3u, 4u}) {
        SCOPED_TRACE(testing::Message() << channels << " channels");
        const TestPicture picture = patternPicture(7, 5, channels); // L8 pitch 8, not 7
        const std::vector<std::uint8_t> png = encodePng(picture);
        const D3DXIMAGE_INFO i = info(png);
        RecordingSurface* target = surface(7, 5, i.Format);
        ASSERT_EQ(load(target, png), D3D_OK);
        for (unsigned y = 0; y < 5; ++y)
            for (unsigned x = 0; x < 7; ++x)
                ASSERT_EQ(target->pixel(x, y), picture.argb(x, y) | (i.Format == D3DFMT_A8R8G8B8 ? 0 : 0xFF000000u))
                    << x << "," << y;
    }
}

TEST_F(D3DXPictureTest, SurfaceLoadConvertsToTheSurfaceFormat)
{
    const TestPicture rgb = patternPicture(4, 4, 3);
    RecordingSurface* withAlpha = surface(4, 4, D3DFMT_A8R8G8B8);
    ASSERT_EQ(load(withAlpha, encodePng(rgb)), D3D_OK);
    EXPECT_EQ(withAlpha->pixel(2, 3), rgb.argb(2, 3)); // alpha 255 added

    const TestPicture grey = patternPicture(4, 4, 1);
    RecordingSurface* colour = surface(4, 4, D3DFMT_X8R8G8B8);
    ASSERT_EQ(load(colour, encodePng(grey)), D3D_OK);
    EXPECT_EQ(colour->pixel(1, 2), grey.argb(1, 2));

    // Colour to grey by integer Rec. 601 weights: (77·R + 150·G + 29·B + 128) ÷ 256.
    const TestPicture red = solidPicture(2, 2, 3, 0xC8643200); // R 200, G 100, B 50
    RecordingSurface* luminance = surface(2, 2, D3DFMT_L8);
    ASSERT_EQ(load(luminance, encodePng(red)), D3D_OK);
    const unsigned expected = (77 * 200 + 150 * 100 + 29 * 50 + 128) / 256;
    EXPECT_EQ(luminance->pixel(1, 1) & 0xFF, expected);
}

TEST_F(D3DXPictureTest, SurfaceLoadCopiesRectanglesAndRefusesRescaling)
{
    const TestPicture picture = patternPicture(6, 6, 4);
    const std::vector<std::uint8_t> png = encodePng(picture);
    RecordingSurface* target = surface(4, 4, D3DFMT_A8R8G8B8);
    EXPECT_EQ(load(target, png), D3DERR_INVALIDCALL); // 6 × 6 into 4 × 4 would need scaling

    const RECT source{2, 1, 4, 4}, dest{1, 0, 3, 3};
    ASSERT_EQ(load(target, png, &dest, &source), D3D_OK);
    EXPECT_EQ(target->pixel(1, 0), picture.argb(2, 1));
    EXPECT_EQ(target->pixel(2, 2), picture.argb(3, 3));
    EXPECT_EQ(target->pixel(0, 0), 0u); // outside the rectangle: untouched

    const RECT outside{3, 3, 9, 9};
    EXPECT_EQ(load(target, png, nullptr, &outside), D3DERR_INVALIDCALL);
}

TEST_F(D3DXPictureTest, ColourKeyMakesMatchingPixelsTransparentBlack)
{
    TestPicture picture = solidPicture(3, 1, 3, 0xFF00FF00); // magenta
    picture.pixels[3] = 10;                                  // the middle pixel differs
    RecordingSurface* target = surface(3, 1, D3DFMT_A8R8G8B8);
    ASSERT_EQ(load(target, encodePng(picture), nullptr, nullptr, 0xFFFF00FF), D3D_OK);
    EXPECT_EQ(target->pixel(0, 0), 0u);
    EXPECT_EQ(target->pixel(1, 0), 0xFF0A00FFu);
    EXPECT_EQ(target->pixel(2, 0), 0u);
}

TEST_F(D3DXPictureTest, TextureGetsAFullBoxFilteredMipChain)
{
    // 4 × 2 grey+alpha-free RGBA with hand-chosen texels; level 1 is 2 × 1, level 2 is 1 × 1.
    TestPicture picture{4, 2, 4, {}};
    const std::uint8_t texels[8][4] = {{0, 0, 0, 255},   {4, 8, 12, 255},   {100, 0, 0, 255}, {200, 0, 0, 255},
                                       {8, 16, 24, 255}, {12, 24, 36, 255}, {0, 100, 0, 0},   {0, 0, 100, 0}};
    for (const auto& t : texels) picture.pixels.insert(picture.pixels.end(), t, t + 4);

    IDirect3DTexture9* texture = nullptr;
    const std::vector<std::uint8_t> png = encodePng(picture);
    D3DXIMAGE_INFO source{};
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(device, png.data(), UINT(png.size()), D3DX_DEFAULT, D3DX_DEFAULT,
                                                  D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_DEFAULT, D3DX_DEFAULT,
                                                  D3DX_DEFAULT, 0, &source, nullptr, &texture),
              D3D_OK);
    std::unique_ptr<IDirect3DTexture9, DeviceRelease> owner(texture);
    auto* recorded = static_cast<RecordingTexture*>(texture);
    ASSERT_EQ(recorded->levelCount(), 3u);
    EXPECT_EQ(source.Width, 4u);
    EXPECT_EQ(recorded->level(0)->desc().Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(recorded->level(0)->pixel(3, 0), 0xFFC80000u);
    EXPECT_EQ(recorded->level(1)->desc().Width, 2u);
    EXPECT_EQ(recorded->level(1)->desc().Height, 1u);
    // Rounded means of the 2 × 2 blocks: (0+4+8+12+2)/4 = 6, (0+8+16+24+2)/4 = 12, 18, alpha 255.
    EXPECT_EQ(recorded->level(1)->pixel(0, 0), 0xFF060C12u);
    // (100+200+0+0+2)/4 = 75, (0+0+100+0+2)/4 = 25, 25, alpha (255+255+0+0+2)/4 = 128.
    EXPECT_EQ(recorded->level(1)->pixel(1, 0), 0x804B1919u);
    // Level 2: the mean of level 1's two texels (a 2 × 1 block).
    EXPECT_EQ(recorded->level(2)->pixel(0, 0), ((0xFFu + 0x80 + 1) / 2 << 24 | (6 + 75 + 1) / 2 << 16 |
                                               (12 + 25 + 1) / 2 << 8 | (18 + 25 + 1) / 2));
}

TEST_F(D3DXPictureTest, TextureOptionsAndGreyChains)
{
    const std::vector<std::uint8_t> grey = encodePng(patternPicture(5, 3, 1));
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileInMemory(device, grey.data(), UINT(grey.size()), &texture), D3D_OK);
    std::unique_ptr<IDirect3DTexture9, DeviceRelease> owner(texture);
    auto* recorded = static_cast<RecordingTexture*>(texture);
    EXPECT_EQ(recorded->levelCount(), 3u); // 5 → 2 → 1
    EXPECT_EQ(recorded->level(0)->desc().Format, D3DFMT_L8);
    EXPECT_EQ(recorded->level(0)->desc().Width, 5u); // not rounded to a power of two
    const TestPicture picture = patternPicture(5, 3, 1);
    const unsigned mean = (picture.at(2, 0)[0] + picture.at(3, 0)[0] + picture.at(2, 1)[0] + picture.at(3, 1)[0] + 2) / 4;
    EXPECT_EQ(recorded->level(1)->pixel(1, 0) & 0xFF, mean);

    auto create = [&](UINT width, UINT mipLevels, D3DFORMAT format) {
        IDirect3DTexture9* made = nullptr;
        const HRESULT hr =
            D3DXCreateTextureFromFileInMemoryEx(device, grey.data(), UINT(grey.size()), width, D3DX_DEFAULT, mipLevels,
                                                0, format, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                                                nullptr, &made);
        UINT levels = made ? made->GetLevelCount() : 0;
        D3DSURFACE_DESC desc{};
        if (made) made->GetLevelDesc(0, &desc), made->Release();
        return std::tuple{hr, levels, desc.Format};
    };
    EXPECT_EQ(create(D3DX_DEFAULT, D3DX_FROM_FILE, D3DFMT_UNKNOWN), std::tuple(D3D_OK, 1u, D3DFMT_L8));
    EXPECT_EQ(create(5, 2, D3DFMT_A8R8G8B8), std::tuple(D3D_OK, 2u, D3DFMT_A8R8G8B8));
    EXPECT_EQ(create(8, D3DX_DEFAULT, D3DFMT_UNKNOWN), std::tuple(D3DERR_INVALIDCALL, 0u, D3DFMT_UNKNOWN));
    EXPECT_EQ(create(D3DX_DEFAULT, D3DX_DEFAULT, D3DFMT_R5G6B5), std::tuple(D3DERR_INVALIDCALL, 0u, D3DFMT_UNKNOWN));

    const std::uint8_t junk[] = {1, 2, 3};
    texture = reinterpret_cast<IDirect3DTexture9*>(this); // must be cleared on failure
    EXPECT_EQ(D3DXCreateTextureFromFileInMemory(device, junk, sizeof junk, &texture), D3DXERR_INVALIDDATA);
    EXPECT_EQ(texture, nullptr);
}

TEST_F(D3DXPictureTest, SavedPngDecodesToTheSameSurface)
{
    for (D3DFORMAT format : {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_L8}) {
        SCOPED_TRACE(format);
        const unsigned channels = format == D3DFMT_L8 ? 1 : format == D3DFMT_X8R8G8B8 ? 3 : 4;
        const TestPicture picture = patternPicture(9, 4, channels, 3);
        RecordingSurface* original = surface(9, 4, format);
        ASSERT_EQ(load(original, encodePng(picture)), D3D_OK);

        std::vector<std::uint8_t> png;
        ASSERT_EQ(encodeSurfaceAsPng(original, nullptr, &png), D3D_OK);
        EXPECT_EQ(info(png).Format, format); // the channels that matter, and no more
        RecordingSurface* copy = surface(9, 4, format);
        ASSERT_EQ(load(copy, png), D3D_OK);
        EXPECT_EQ(std::vector<std::uint8_t>(copy->bits(), copy->bits() + copy->pitch() * 4),
                  std::vector<std::uint8_t>(original->bits(), original->bits() + original->pitch() * 4));
    }
}

TEST_F(D3DXPictureTest, SaveToFileWritesPngOnly)
{
    const std::filesystem::path directory = std::filesystem::temp_directory_path() / "d3dx_save_test";
    std::filesystem::create_directories(directory);
    const std::string path = (directory / "frame.png").string();
    const TestPicture picture = patternPicture(6, 5, 4);
    RecordingSurface* source = surface(6, 5, D3DFMT_A8R8G8B8);
    ASSERT_EQ(load(source, encodePng(picture)), D3D_OK);

    const RECT area{1, 1, 4, 3};
    ASSERT_EQ(D3DXSaveSurfaceToFile(path.c_str(), D3DXIFF_PNG, source, nullptr, &area), D3D_OK);
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> written{std::istreambuf_iterator<char>(in), {}};
    const D3DXIMAGE_INFO i = info(written);
    EXPECT_EQ(i.Width, 3u);
    EXPECT_EQ(i.Height, 2u);
    RecordingSurface* back = surface(3, 2, D3DFMT_A8R8G8B8);
    ASSERT_EQ(load(back, written), D3D_OK);
    EXPECT_EQ(back->pixel(0, 0), picture.argb(1, 1));
    EXPECT_EQ(back->pixel(2, 1), picture.argb(3, 2));
    // Only the picture is left beside it, and a link planted under the old temporary name is
    // never written through.
    const std::filesystem::path outside = directory / "outside.txt";
    { std::ofstream(outside) << "keep"; }
    std::filesystem::create_symlink(outside, path + ".partial");
    ASSERT_EQ(D3DXSaveSurfaceToFile(path.c_str(), D3DXIFF_PNG, source, nullptr, &area), D3D_OK);
    std::ifstream kept(outside);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "keep");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory), {}), 3); // picture, link, outside

    EXPECT_EQ(D3DXSaveSurfaceToFile(path.c_str(), D3DXIFF_BMP, source, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXSaveSurfaceToFile((directory / "missing" / "x.png").string().c_str(), D3DXIFF_PNG, source, nullptr,
                                    nullptr),
              E_FAIL);
    std::filesystem::remove_all(directory);
}

} // namespace
