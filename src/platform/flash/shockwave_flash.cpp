#include "platform/flash/shockwave_flash.h"

#include "platform/flash/flash_movie_file.h"

void ShockwaveFlash::setMenu(bool shown)
{
    menu_ = shown;
    calls_.push_back(std::string("Menu ") + (shown ? "1" : "0"));
}

void ShockwaveFlash::setBackgroundColor(long colour)
{
    backgroundColor_ = colour;
    calls_.push_back("BackgroundColor " + std::to_string(colour));
}

void ShockwaveFlash::setQuality(int quality)
{
    quality_ = quality;
    calls_.push_back("Quality " + std::to_string(quality));
}

void ShockwaveFlash::setMovie(const std::string& path)
{
    movie_ = path;
    totalFrames_ = readMovieFrameCount(path);
    calls_.push_back("Movie " + path);
}

void ShockwaveFlash::setPlaying(bool playing)
{
    playing_ = playing;
    calls_.push_back(std::string("Playing ") + (playing ? "1" : "0"));
}
