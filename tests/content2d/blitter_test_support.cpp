// Scratch directories and readers of the recording device's log and textures.

#include "blitter_test_support.h"

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <stdexcept>

ScratchDirectory::ScratchDirectory() : previous_(std::filesystem::current_path())
{
    std::string pattern = (std::filesystem::temp_directory_path() / "blitter-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    std::filesystem::current_path(path_);
}

ScratchDirectory::~ScratchDirectory()
{
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::vector<QuadVertex> lastDrawnVertices(const RecordingDevice& device)
{
    const auto& calls = device.calls();
    for (auto line = calls.rbegin(); line != calls.rend(); ++line) {
        if (line->rfind("DrawPrimitiveUP ", 0) != 0) continue;
        const std::string hex = line->substr(line->rfind(' ') + 1);
        std::vector<std::uint8_t> bytes(hex.size() / 2);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(std::stoul(hex.substr(2 * i, 2), nullptr, 16));
        std::vector<QuadVertex> vertices(bytes.size() / sizeof(QuadVertex));
        std::memcpy(vertices.data(), bytes.data(), vertices.size() * sizeof(QuadVertex));
        return vertices;
    }
    return {};
}

std::vector<D3DCOLOR> texelsOf(IDirect3DBaseTexture9* texture, UINT level)
{
    auto* recorded = static_cast<RecordingTexture*>(static_cast<IDirect3DTexture9*>(texture));
    RecordingSurface* surface = recorded ? recorded->level(level) : nullptr;
    std::vector<D3DCOLOR> texels;
    if (!surface) return texels;
    for (UINT y = 0; y < surface->desc().Height; ++y)
        for (UINT x = 0; x < surface->desc().Width; ++x) texels.push_back(surface->pixel(x, y));
    return texels;
}

std::vector<D3DCOLOR> pixelsOf(const TestPicture& picture)
{
    std::vector<D3DCOLOR> pixels;
    for (unsigned y = 0; y < picture.height; ++y)
        for (unsigned x = 0; x < picture.width; ++x) pixels.push_back(picture.argb(x, y));
    return pixels;
}

std::size_t findCall(const RecordingDevice& device, const std::string& prefix, std::size_t from)
{
    const auto& calls = device.calls();
    for (std::size_t i = from; i < calls.size(); ++i)
        if (calls[i].rfind(prefix, 0) == 0) return i;
    return std::string::npos;
}
