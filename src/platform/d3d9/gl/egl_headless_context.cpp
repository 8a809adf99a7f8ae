// The headless context: OpenGL 4.5 core on EGL's surfaceless platform (Mesa llvmpipe when
// there is no GPU). It has no surface at all; the device draws only into framebuffer objects.
#include "platform/d3d9/gl/gl_context.h"

#include <epoxy/egl.h>

#include <cstdlib>
#include <cstring>

namespace d3dgl {

namespace {

// The EGL display is initialised once and kept for the life of the process: EGL returns the
// same display to every caller, and terminating it would pull the contexts of other devices.
EGLDisplay surfacelessDisplay()
{
    static EGLDisplay display = [] {
        const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
        if (!clientExtensions || !std::strstr(clientExtensions, "EGL_MESA_platform_surfaceless"))
            return EGL_NO_DISPLAY;
        // The EXT entry point: the core one is only resolvable once a display reports EGL 1.5.
        if (!std::strstr(clientExtensions, "EGL_EXT_platform_base")) return EGL_NO_DISPLAY;
        EGLDisplay candidate = eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (candidate == EGL_NO_DISPLAY) return EGL_NO_DISPLAY;
        EGLint major = 0, minor = 0;
        if (!eglInitialize(candidate, &major, &minor)) return EGL_NO_DISPLAY;
        if (!eglBindAPI(EGL_OPENGL_API)) return EGL_NO_DISPLAY;
        return candidate;
    }();
    return display;
}

class EglHeadlessContext final : public GlContext {
public:
    EglHeadlessContext(EGLDisplay display, EGLContext context) : display_(display), context_(context) {}

    ~EglHeadlessContext() override
    {
        // Another device's context may be current; only let go of our own.
        if (releaseIfCurrent()) eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display_, context_);
    }

    bool start()
    {
        if (!eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_)) return false;
        contextReady();
        return true;
    }

    bool hasWindow() const override { return false; }
    void windowDrawableSize(int* width, int* height) override { *width = *height = 0; }
    void swapWindow() override {}

protected:
    void bindCurrent() override { eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_); }

private:
    EGLDisplay display_;
    EGLContext context_;
};

} // namespace

bool headlessDisplayAvailable() { return surfacelessDisplay() != EGL_NO_DISPLAY; }

std::shared_ptr<GlContext> createHeadlessGlContext()
{
    EGLDisplay display = surfacelessDisplay();
    if (display == EGL_NO_DISPLAY) return nullptr;

    EGLConfig config = EGL_NO_CONFIG_KHR;
    if (!epoxy_has_egl_extension(display, "EGL_KHR_no_config_context")) {
        const EGLint wanted[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
        EGLint found = 0;
        if (!eglChooseConfig(display, wanted, &config, 1, &found) || found == 0) return nullptr;
    }
    const bool debug = std::getenv("DEMO_GL_DEBUG") != nullptr;
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION, 4,
                                 EGL_CONTEXT_MINOR_VERSION, 5,
                                 EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                 EGL_CONTEXT_OPENGL_DEBUG, debug ? EGL_TRUE : EGL_FALSE,
                                 EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, attributes);
    if (context == EGL_NO_CONTEXT) return nullptr;
    auto result = std::make_shared<EglHeadlessContext>(display, context);
    if (!result->start()) return nullptr;
    return result;
}

} // namespace d3dgl
