// Reads the device's back buffer into memory after each frame, as the screen shows it:
// 4 bytes a pixel in memory order B, G, R and an unused byte, rows top first. The copy surface
// is made once and reused for every frame.
#pragma once

#include "platform/d3d9/d3d9.h"

#include <cstdint>
#include <string>
#include <vector>

struct FramePixels {
    unsigned width = 0;
    unsigned height = 0;
    std::vector<std::uint8_t> bgrx;  // width * 4 bytes a row
};

class BackBufferReader {
public:
    BackBufferReader() = default;
    ~BackBufferReader();
    BackBufferReader(const BackBufferReader&) = delete;
    BackBufferReader& operator=(const BackBufferReader&) = delete;

    // False with a message in error when the back buffer cannot be read.
    bool read(IDirect3DDevice9* device, FramePixels& frame, std::string& error);
    // Lets go of the copy surface (before the device goes).
    void release();

private:
    IDirect3DSurface9* copy_ = nullptr;
    D3DSURFACE_DESC desc_{};
};
