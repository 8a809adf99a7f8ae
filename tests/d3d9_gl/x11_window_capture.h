// Reads what the X server shows in an SDL window (for the windowed device tests).
#pragma once

#include <cstdint>
#include <vector>

struct SDL_Window;

// 0x00RRGGBB, row 0 at the top; filled with 0xDEADBEEF when the window is not on X11.
std::vector<std::uint32_t> captureX11Window(SDL_Window* window, int width, int height);
