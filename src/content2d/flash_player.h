// The content of one Flash slot: a movie loaded into a Flash control in a hidden host window,
// configured and held stopped. It also owns what a frame transfer from the control to the
// screen would need (two screen-sized 32-bit pixel buffers standing for the bitmaps and their
// drawing contexts, a dynamic texture and a full-screen quad); no frame uses them yet.
#pragma once

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/device_ref.h"
#include "platform/flash/ax_flash_window.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The last-frame marker every player starts with.
constexpr int kFlashLastFrameMarker = 0x0FFFFFFF;

class FlashPlayer {
public:
    // A movie that is neither on the disk nor in the archive, or that cannot be brought to
    // the control, shows "Couldn't load 2d content!" and ends the process (exit code 0). A
    // movie found only in the archive is written out under its own name for the control and
    // removed again before construction ends.
    FlashPlayer(IDirect3DDevice9* device, unsigned width, unsigned height, const std::string& file);
    virtual ~FlashPlayer();
    FlashPlayer(const FlashPlayer&) = delete;
    FlashPlayer& operator=(const FlashPlayer&) = delete;

    void setQuality(int quality);
    // 1 also turns the movie's background black; 0 and 2 are only stored.
    void setBackgroundMode(int mode);

    struct QuadVertex {
        float x, y, z, u, v;
    };
    struct PixelBuffer {
        std::vector<std::uint32_t> pixels; // width × height, rows bottom-up
    };

    unsigned width() const { return width_; }
    unsigned height() const { return height_; }
    unsigned textureWidth() const { return textureWidth_; }
    unsigned textureHeight() const { return textureHeight_; }
    int backgroundMode() const { return mode_; }
    const PixelBuffer& pixelBuffer(int index) const { return index == 0 ? buffer1_ : buffer2_; }
    const CAxFlashWindow& hostWindow() const { return hostWindow_; }
    const ShockwaveFlash& control() const { return *hostWindow_.flash(); }
    IDirect3DTexture9* texture() const { return texture_.get(); }
    IDirect3DDevice9* device() const { return device_; }
    const std::array<QuadVertex, 4>& quad() const { return quad_; }
    int totalFrames() const { return totalFrames_; }
    int lastFrame() const { return lastFrame_; }

private:
    unsigned width_;
    unsigned height_;
    unsigned textureWidth_ = 0;
    unsigned textureHeight_ = 0;
    int mode_ = 0;
    PixelBuffer buffer1_;
    PixelBuffer buffer2_;
    CAxFlashWindow hostWindow_;
    DeviceRef<IDirect3DTexture9> texture_;
    IDirect3DDevice9* device_;
    std::array<QuadVertex, 4> quad_{};
    int totalFrames_ = 0;
    int lastFrame_ = 0;
};
