// Linked into every test executable: before any test runs, the process is made headless and
// silent — no display for message boxes, SDL's dummy audio, EGL surfaceless — and told where
// the sources are. Tests that need another audio driver set it themselves later.
#include <cstdlib>

namespace {

struct TestEnvironment {
    TestEnvironment()
    {
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        setenv("EGL_PLATFORM", "surfaceless", 0);
        setenv("DEMO_SOURCE_DIR", DEMO_SOURCE_ROOT, 0);
    }
} testEnvironment;

} // namespace
