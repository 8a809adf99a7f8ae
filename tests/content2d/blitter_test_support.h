// Shared by the image blitter tests: a scratch directory that is the current directory for
// the test (pictures are read relative to it), and readers for what the recording device saw.
#pragma once

#include "picture_fixtures.h"
#include "platform/d3d9/recording/recording_device.h"

#include <array>
#include <filesystem>
#include <string>
#include <vector>

class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

struct QuadVertex {
    float x, y, z, u, v;
};

// The vertices of the last DrawPrimitiveUP in the device's call log (empty when there is none).
std::vector<QuadVertex> lastDrawnVertices(const RecordingDevice& device);

// Every texel of a texture level as 0xAARRGGBB, rows top first.
std::vector<D3DCOLOR> texelsOf(IDirect3DBaseTexture9* texture, UINT level = 0);
// Every pixel of a test picture as the decoder reads it.
std::vector<D3DCOLOR> pixelsOf(const TestPicture& picture);

// Index of the first logged call starting with `prefix` at or after `from`; npos when none.
std::size_t findCall(const RecordingDevice& device, const std::string& prefix, std::size_t from = 0);
