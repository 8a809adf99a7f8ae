// The content of one image slot: a still picture, a picture sequence (a file ending in "seq")
// or a solid colour over the whole screen, drawn as one screen-aligned quad at one texel per
// pixel. Layers write x, y, alpha and additive before each draw; draw runs between the frame's
// BeginScene and EndScene and sets every state it depends on itself.
#pragma once

#include "platform/d3d9/device_ref.h"
#include "platform/d3d9/d3d9.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

class ImageBlitter {
public:
    // A picture or sequence file (isSolidColour false), or the colour (ARGB) over the whole
    // screen. Load failures end the program with a message.
    ImageBlitter(IDirect3DDevice9* device, const std::string& fileName, unsigned screenWidth, unsigned screenHeight,
                 bool isSolidColour, D3DCOLOR colour);
    virtual ~ImageBlitter();
    ImageBlitter(const ImageBlitter&) = delete;
    ImageBlitter& operator=(const ImageBlitter&) = delete;

    // Advances a sequence by at most one frame for this script time, then draws the quad.
    void draw(float scriptTimeMs);

    // Read-only views for the layer code and tests.
    unsigned imageWidth() const { return imageWidth_; }
    unsigned imageHeight() const { return imageHeight_; }
    std::size_t frameCount() const { return frames_.size(); }
    std::size_t currentFrame() const { return currentFrame_; }
    float loopLength() const { return loopLength_; }
    bool hasAlpha() const { return hasAlpha_; }

    // Placement, written by the layer before every draw: top-left corner in pixels from the
    // screen's top-left (x right, y down), alpha 0..1, additive or alpha blending.
    float x = 0, y = 0, alpha = 1.0f;
    bool additive = true;

private:
    struct Vertex {
        float x, y, z, u, v;
    };
    struct ImageFrame {
        float time; // ms from the start of the loop
        DeviceRef<IDirect3DSurface9> surface;
    };

    void loadSequence(const std::string& fileName);
    void loadFrame(float time, const std::string& fileName);
    void loadStill(const std::string& fileName);
    DeviceRef<IDirect3DSurface9> decodeToSurface(const std::string& fileName);
    void createTexture(const std::string& fileName);
    void stepSequence(float scriptTimeMs);
    void buildQuad(float uScale, float vScale);

    std::array<Vertex, 4> quad_{};
    bool isSolidColour_;
    D3DCOLOR colour_;
    IDirect3DDevice9* device_;
    DeviceRef<IDirect3DTexture9> texture_;
    std::vector<ImageFrame> frames_;
    std::size_t currentFrame_ = 0;
    float loopLength_ = 0;
    bool hasAlpha_ = false;
    unsigned imageWidth_ = 0, imageHeight_ = 0;
    unsigned textureWidth_ = 0, textureHeight_ = 0;
    D3DFORMAT format_ = D3DFMT_UNKNOWN;
    unsigned screenHeight_, screenWidth_;
};
