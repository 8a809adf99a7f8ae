// Construction of a Flash player: pixel buffers, the movie file, texture and quad, then the
// control in its host window, configured in a fixed order.
#include "content2d/flash_player.h"

#include "archive/archive_access.h"
#include "archive/resource_archive.h"
#include "content2d/flash_player_path.h"
#include "platform/flash/extracted_movie.h"
#include "platform/flash/flash_movie_file.h"
#include "platform/shell/shell.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

namespace {

// Drops the extracted copy first: the process ends without unwinding.
[[noreturn]] void failLoad(std::unique_ptr<ExtractedMovie>& extracted)
{
    extracted.reset();
    failWithMessage("Error", "Couldn't load 2d content!", 0);
}

// Null when the movie is on the disk; otherwise the copy written out from the archive.
std::unique_ptr<ExtractedMovie> movieOnDisk(const std::string& file)
{
    std::unique_ptr<ExtractedMovie> extracted;
    if (movieFileReadable(file)) return extracted;
    const ResourceArchive* archive = theArchive();
    if (!archive || !archive->contains(file)) failLoad(extracted);
    const std::optional<std::vector<std::uint8_t>> bytes = archive->read(file);
    if (bytes) extracted = ExtractedMovie::write(file, *bytes);
    if (!extracted) failLoad(extracted);
    return extracted;
}

std::string currentDirectory()
{
    std::error_code failure;
    const std::filesystem::path directory = std::filesystem::current_path(failure);
    return failure ? std::string(".") : directory.string();
}

} // namespace

FlashPlayer::FlashPlayer(IDirect3DDevice9* device, unsigned width, unsigned height, const std::string& file)
    : width_(width), height_(height), device_(device)
{
    const std::size_t pixels = static_cast<std::size_t>(width) * height;
    buffer1_.pixels.assign(pixels, 0);
    buffer2_.pixels.assign(pixels, 0);

    std::unique_ptr<ExtractedMovie> extracted = movieOnDisk(file);
    const std::string path = flashMoviePath(file, currentDirectory());

    if (FAILED(device_->CreateTexture(width_, height_, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                      texture_.out(), nullptr)) ||
        !texture_)
        failLoad(extracted);
    D3DSURFACE_DESC desc{};
    texture_->GetLevelDesc(0, &desc);
    textureWidth_ = desc.Width;
    textureHeight_ = desc.Height;
    if (textureWidth_ == 0 || textureHeight_ == 0) failLoad(extracted);

    // The clip-space quad, its texture coordinates cut to the part of the texture in use.
    const float u = static_cast<float>(width_) / static_cast<float>(textureWidth_);
    const float v = static_cast<float>(height_) / static_cast<float>(textureHeight_);
    quad_ = {{{-1.0f, -1.0f, 1.0f, 0.0f, v}, {-1.0f, 1.0f, 1.0f, 0.0f, 0.0f}, {1.0f, -1.0f, 1.0f, u, v},
              {1.0f, 1.0f, 1.0f, u, 0.0f}}};

    if (!hostWindow_.create(static_cast<int>(width_), static_cast<int>(height_)) ||
        !hostWindow_.createControl(kShockwaveFlashClassId))
        failLoad(extracted);
    ShockwaveFlash& flash = *hostWindow_.flash();
    flash.setMenu(false);
    flash.setBackgroundColor(0);
    flash.setQuality(0);
    flash.setMovie(path);
    flash.setPlaying(false);
    totalFrames_ = flash.totalFrames();

    lastFrame_ = kFlashLastFrameMarker;
    extracted.reset();
}

FlashPlayer::~FlashPlayer()
{
    hostWindow_.destroy();
    buffer1_.pixels = {};
    buffer2_.pixels = {};
    texture_ = DeviceRef<IDirect3DTexture9>();
}

void FlashPlayer::setQuality(int quality)
{
    hostWindow_.flash()->setQuality(quality);
}

void FlashPlayer::setBackgroundMode(int mode)
{
    mode_ = mode;
    if (mode == 1) hostWindow_.flash()->setBackgroundColor(0);
}
