// The Flash player seam: settings only.
#include "content2d/flash_player.h"

FlashPlayer::FlashPlayer(IDirect3DDevice9* device, unsigned screenWidth, unsigned screenHeight,
                         const std::string& file)
    : device_(device), width_(screenWidth), height_(screenHeight), movieName_(file) {}
