// Loading and drawing of image slots.

#include "content2d/image_blitter.h"

#include "content2d/frame_upload.h"
#include "content2d/image_sequence_file.h"
#include "content2d/read_image_file.h"
#include "platform/d3dx/d3dx_math.h"
#include "platform/d3dx/d3dx_texture_files.h"
#include "platform/shell/shell.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace {

[[noreturn]] void failLoad(const std::string& fileName)
{
    failWithMessage("Error", "Image load failed: " + fileName, 0);
}

// 255 from 1.0 up, 0 from 0.0 down (and for NaN), else the nearest byte.
DWORD colourByte(float value)
{
    if (value >= 1.0f) return 255;
    if (!(value > 0.0f)) return 0;
    return static_cast<DWORD>(value * 255.0f + 0.5f);
}

// The picture path truncates: alpha 0.5 gives 127 where the colour path gives 128.
DWORD alphaByte(float alpha)
{
    return alpha > 0.0f ? static_cast<DWORD>(alpha * 255.0f) : 0;
}

std::vector<std::uint8_t> readOrFail(const std::string& fileName)
{
    std::optional<std::vector<std::uint8_t>> bytes = readImageFile(fileName);
    if (!bytes) failLoad(fileName);
    return std::move(*bytes);
}

} // namespace

ImageBlitter::ImageBlitter(IDirect3DDevice9* device, const std::string& fileName, unsigned screenWidth,
                           unsigned screenHeight, bool isSolidColour, D3DCOLOR colour)
    : isSolidColour_(isSolidColour), colour_(colour), device_(device), screenHeight_(screenHeight),
      screenWidth_(screenWidth)
{
    if (isSolidColour_) {
        imageWidth_ = screenWidth;
        imageHeight_ = screenHeight;
        buildQuad(1.0f, 1.0f);
        return;
    }

    if (isSequenceFileName(fileName))
        loadSequence(fileName);
    else
        loadStill(fileName);

    D3DSURFACE_DESC desc{};
    texture_->GetLevelDesc(0, &desc);
    textureWidth_ = desc.Width;
    textureHeight_ = desc.Height;
    switch (desc.Format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_L8: hasAlpha_ = true; break;
    case D3DFMT_X8R8G8B8: hasAlpha_ = false; break;
    default: failWithMessage("Error", "Unknown texture format", 0);
    }
    if (textureWidth_ == 0 || textureHeight_ == 0) failLoad(fileName);
    buildQuad(static_cast<float>(imageWidth_) / static_cast<float>(textureWidth_),
              static_cast<float>(imageHeight_) / static_cast<float>(textureHeight_));
}

ImageBlitter::~ImageBlitter() = default;

void ImageBlitter::loadSequence(const std::string& fileName)
{
    const std::vector<std::uint8_t> bytes = readOrFail(fileName);
    const ImageSequenceListing listing =
        parseImageSequence(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    // A sequence without frames has nothing to show: reported like an unreadable file.
    if (listing.entries.empty()) failLoad(fileName);
    for (const ImageSequenceEntry& entry : listing.entries)
        loadFrame(entry.timeMs, entry.fileName);
    loopLength_ = listing.loopLengthMs;

    // The texture takes the last frame's size and format; uploadFrame copes with the others.
    createTexture(fileName);
    uploadFrame(texture_.get(), frames_.front().surface.get());
    currentFrame_ = 0;
}

void ImageBlitter::loadFrame(float time, const std::string& fileName)
{
    frames_.push_back({time, decodeToSurface(fileName)});
}

void ImageBlitter::loadStill(const std::string& fileName)
{
    DeviceRef<IDirect3DSurface9> surface = decodeToSurface(fileName);
    createTexture(fileName);
    uploadFrame(texture_.get(), surface.get());
}

// Reads and describes the picture, records its size and format, and decodes it into a new
// system-memory surface of that size and format.
DeviceRef<IDirect3DSurface9> ImageBlitter::decodeToSurface(const std::string& fileName)
{
    const std::vector<std::uint8_t> bytes = readOrFail(fileName);
    const UINT size = static_cast<UINT>(bytes.size());
    D3DXIMAGE_INFO info{};
    if (bytes.empty() || FAILED(D3DXGetImageInfoFromFileInMemory(bytes.data(), size, &info))) failLoad(fileName);
    imageWidth_ = info.Width;
    imageHeight_ = info.Height;
    format_ = info.Format;

    DeviceRef<IDirect3DSurface9> surface;
    if (FAILED(device_->CreateOffscreenPlainSurface(info.Width, info.Height, info.Format, D3DPOOL_SYSTEMMEM,
                                                    surface.out(), nullptr)) ||
        !surface)
        failLoad(fileName);
    // A picture whose header reads but whose body does not decode fails here rather than
    // showing an undefined surface.
    if (FAILED(D3DXLoadSurfaceFromFileInMemory(surface.get(), nullptr, nullptr, bytes.data(), size, nullptr,
                                               D3DX_DEFAULT, 0, nullptr)))
        failLoad(fileName);
    return surface;
}

void ImageBlitter::createTexture(const std::string& fileName)
{
    if (FAILED(device_->CreateTexture(imageWidth_, imageHeight_, 1, D3DUSAGE_DYNAMIC, format_, D3DPOOL_DEFAULT,
                                      texture_.out(), nullptr)) ||
        !texture_)
        failLoad(fileName);
}

void ImageBlitter::buildQuad(float uScale, float vScale)
{
    static_assert(sizeof(Vertex) == 20, "the quad's vertices are XYZ | TEX1, 20 bytes apart");
    static constexpr Vertex strip[4] = {{0, 0, 1, 0, 1}, {0, 1, 1, 0, 0}, {1, 0, 1, 1, 1}, {1, 1, 1, 1, 0}};
    const float width = static_cast<float>(imageWidth_), height = static_cast<float>(imageHeight_);
    for (std::size_t i = 0; i < quad_.size(); ++i)
        quad_[i] = {strip[i].x * width, strip[i].y * height, strip[i].z, strip[i].u * uScale, strip[i].v * vScale};
}

// At most one frame per draw: step to the next frame once the time within the loop has reached
// it; the wrap to frame 0 waits until the time has come round below the last frame's time.
void ImageBlitter::stepSequence(float scriptTimeMs)
{
    // A loop of 0 or less (one frame, all frames at time 0) leaves the first frame shown.
    if (!(loopLength_ > 0)) return;
    float t = scriptTimeMs;
    // The remainder of repeated subtraction, without looping when the loop is tiny next to t.
    if (t >= loopLength_) t = std::fmod(t, loopLength_);
    const std::size_t next = currentFrame_ + 1 < frames_.size() ? currentFrame_ + 1 : 0;
    const float a = frames_[currentFrame_].time;
    const float b = frames_[next].time;
    if (t >= b && (t <= a || b >= a)) {
        uploadFrame(texture_.get(), frames_[next].surface.get());
        currentFrame_ = next;
    }
}

void ImageBlitter::draw(float scriptTimeMs)
{
    if (!frames_.empty()) stepSequence(scriptTimeMs);

    bool blend;
    // Whether the quad would leave every pixel as it is: blended over (not added) with a
    // source alpha of 0. Only the draw is skipped; the states are set as for any draw.
    bool invisible;
    if (isSolidColour_) {
        const float scale = 1.0f / 255.0f;
        const float red = static_cast<float>((colour_ >> 16) & 0xFF) * scale;
        const float green = static_cast<float>((colour_ >> 8) & 0xFF) * scale;
        const float blue = static_cast<float>(colour_ & 0xFF) * scale;
        const float scaledAlpha = static_cast<float>(colour_ >> 24) * scale * alpha;
        const DWORD factor = (colourByte(scaledAlpha) << 24) | (colourByte(red) << 16) | (colourByte(green) << 8) |
                             colourByte(blue);
        device_->SetRenderState(D3DRS_TEXTUREFACTOR, factor);
        device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
        device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TFACTOR);
        device_->SetTexture(0, nullptr);
        blend = additive || scaledAlpha < 0.999f;
        invisible = !additive && (factor >> 24) == 0;
    } else {
        device_->SetTexture(0, texture_.get());
        device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        device_->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
        device_->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_POINT);
        const bool fading = alpha < 0.999f;
        if (fading) {
            device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
            device_->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TFACTOR);
            device_->SetRenderState(D3DRS_TEXTUREFACTOR, alphaByte(alpha) << 24);
        } else {
            device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        }
        blend = hasAlpha_ || additive || fading;
        invisible = !additive && fading && alphaByte(alpha) == 0;
    }

    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, blend ? TRUE : FALSE);
    device_->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device_->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    device_->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
    device_->SetRenderState(D3DRS_SRCBLEND, additive ? D3DBLEND_ONE : D3DBLEND_SRCALPHA);
    device_->SetRenderState(D3DRS_DESTBLEND, additive ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA);

    D3DMATRIX savedProjection{}, savedView{};
    device_->GetTransform(D3DTS_PROJECTION, &savedProjection);
    device_->GetTransform(D3DTS_VIEW, &savedView);
    D3DXMATRIX projection, view, world;
    D3DXMatrixOrthoOffCenterLH(&projection, 0, static_cast<float>(screenWidth_), 0, static_cast<float>(screenHeight_),
                               0, 1);
    D3DXMatrixIdentity(&view);
    // Direct3D puts pixel centres on integer coordinates, so the quad's edges go half a pixel
    // left of and above (x, y): texel (0, 0) then lands exactly on pixel (x, y). Worked in
    // float so a picture taller than the screen still sits at y.
    const float top = static_cast<float>(screenHeight_) - static_cast<float>(imageHeight_) - y;
    D3DXMatrixTranslation(&world, x - 0.5f, top + 0.5f, 0);
    device_->SetTransform(D3DTS_PROJECTION, &projection);
    device_->SetTransform(D3DTS_VIEW, &view);
    device_->SetTransform(D3DTS_WORLD, &world);

    device_->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
    device_->SetRenderState(D3DRS_ZENABLE, FALSE);
    device_->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
    // A faded-out layer costs a full blend of its area on a software rasteriser for nothing.
    if (!invisible) device_->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad_.data(), sizeof(Vertex));
    device_->SetRenderState(D3DRS_ZENABLE, TRUE);
    device_->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    device_->SetRenderState(D3DRS_LIGHTING, TRUE);
    device_->SetTransform(D3DTS_PROJECTION, &savedProjection);
    device_->SetTransform(D3DTS_VIEW, &savedView);
    device_->SetTexture(0, nullptr);
}
