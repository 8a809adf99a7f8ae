// X11 capture of an SDL window's contents, kept apart because Xlib's macros clash with
// GoogleTest's headers.
#include "x11_window_capture.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

std::vector<std::uint32_t> captureX11Window(SDL_Window* window, int width, int height)
{
    std::vector<std::uint32_t> image(static_cast<std::size_t>(width) * height, 0xDEADBEEF);
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return image;
    XImage* shot = XGetImage(info.info.x11.display, info.info.x11.window, 0, 0, static_cast<unsigned>(width),
                             static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!shot) return image;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image[static_cast<std::size_t>(y) * width + x] = static_cast<std::uint32_t>(XGetPixel(shot, x, y)) & 0xFFFFFF;
    XDestroyImage(shot);
    return image;
}
