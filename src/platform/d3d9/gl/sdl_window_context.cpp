// The windowed context: OpenGL 4.5 core created by SDL on the shell's window (which the shell
// creates with SDL_WINDOW_OPENGL), vsync on. The device still draws into framebuffer objects;
// only Present touches the window's own framebuffer.
#include "platform/d3d9/gl/gl_context.h"
#include "platform/d3d9/gl/sdl_window_context.h"

#include "platform/shell/sdl_window.h"

#include <SDL.h>

namespace d3dgl {

namespace {

class SdlWindowContext final : public GlContext {
public:
    SdlWindowContext(SDL_Window* window, SDL_GLContext context) : window_(window), context_(context) {}

    ~SdlWindowContext() override
    {
        // Another device's context may be current; only let go of our own.
        if (releaseIfCurrent()) SDL_GL_MakeCurrent(window_, nullptr);
        SDL_GL_DeleteContext(context_);
    }

    void start()
    {
        SDL_GL_SetSwapInterval(1);
        contextReady();
    }

    bool hasWindow() const override { return true; }
    void windowDrawableSize(int* width, int* height) override { SDL_GL_GetDrawableSize(window_, width, height); }
    void swapWindow() override { SDL_GL_SwapWindow(window_); }

protected:
    void bindCurrent() override { SDL_GL_MakeCurrent(window_, context_); }

private:
    SDL_Window* window_;
    SDL_GLContext context_;
};

} // namespace

std::shared_ptr<GlContext> createWindowGlContext(HWND window)
{
    SDL_Window* sdlWindow = sdlWindowOf(window);
    if (!sdlWindow) return nullptr;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 4);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 5);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GLContext context = SDL_GL_CreateContext(sdlWindow);
    if (!context) return nullptr;
    auto result = std::make_shared<SdlWindowContext>(sdlWindow, context);
    result->start();
    return result;
}

} // namespace d3dgl
