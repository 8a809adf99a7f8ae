// A Flash movie in a Flash slot of the script engine. For now only the seam the script engine
// calls: it keeps the movie name, the quality and the background mode that PlayFlash sets;
// opening the movie, the hidden control and its drawing resources come with the Flash player.
#pragma once

#include <string>

class IDirect3DDevice9;

class FlashPlayer {
public:
    FlashPlayer(IDirect3DDevice9* device, unsigned screenWidth, unsigned screenHeight,
                const std::string& file);
    virtual ~FlashPlayer() = default;
    FlashPlayer(const FlashPlayer&) = delete;
    FlashPlayer& operator=(const FlashPlayer&) = delete;

    void setQuality(int quality) { quality_ = quality; }
    // 1 also turns the movie's background black; 0 and 2 are only stored.
    void setBackgroundMode(int mode) { backgroundMode_ = mode; }

    IDirect3DDevice9* device() const { return device_; }
    const std::string& movieName() const { return movieName_; }
    int quality() const { return quality_; }
    int backgroundMode() const { return backgroundMode_; }
    unsigned width() const { return width_; }
    unsigned height() const { return height_; }

private:
    IDirect3DDevice9* device_;
    unsigned width_;
    unsigned height_;
    std::string movieName_;
    int quality_ = 0;
    int backgroundMode_ = 0;
};
