// One OpenGL 4.5 core context a device draws with: an EGL surfaceless one (headless) or SDL's
// context on the shell's window. Resources keep the context alive and make it current before
// they touch OpenGL, so several devices can live side by side.
#pragma once

#include <memory>

namespace d3dgl {

class GlStateCache;

class GlContext {
public:
    virtual ~GlContext();

    // Makes this context current unless it already is (a pointer compare on the common path).
    void makeCurrent()
    {
        if (current_ != this) {
            bindCurrent();
            current_ = this;
        }
    }

    // Windowed contexts present into their window; headless ones have none.
    virtual bool hasWindow() const = 0;
    virtual void windowDrawableSize(int* width, int* height) = 0;
    virtual void swapWindow() = 0;

    // The tracked OpenGL bindings of this context (created after the context is current).
    GlStateCache& cache() { return *cache_; }

protected:
    GlContext();
    virtual void bindCurrent() = 0;
    // Called by the concrete context once it is current for the first time.
    void contextReady();
    // True (and forgotten) when this context was the current one.
    bool releaseIfCurrent()
    {
        if (current_ != this) return false;
        current_ = nullptr;
        return true;
    }

private:
    static GlContext* current_;
    std::unique_ptr<GlStateCache> cache_;
};

// An OpenGL 4.5 core context on EGL surfaceless; null when EGL has no usable display or the
// context cannot be created.
std::shared_ptr<GlContext> createHeadlessGlContext();
// True when EGL offers a surfaceless display with OpenGL (initialised once per process).
bool headlessDisplayAvailable();

} // namespace d3dgl
