// Platform-internal: the SDL window behind the shell's HWND, for the OpenGL device that
// presents into it. Subsystems never include this.
#pragma once

#include "platform/shell/win_types.h"

struct SDL_Window;

SDL_Window* sdlWindowOf(HWND window);
