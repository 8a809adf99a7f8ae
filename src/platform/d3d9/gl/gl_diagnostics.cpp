// Counts OpenGL errors (debug output and glGetError) for tests and diagnostics.
#include "platform/d3d9/gl/gl_diagnostics.h"

#include <epoxy/gl.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace d3dgl {

namespace {

std::mutex errorMutex;
std::uint64_t errorCount = 0;
std::string lastError;

void recordError(const std::string& text)
{
    std::lock_guard<std::mutex> lock(errorMutex);
    ++errorCount;
    lastError = text;
    if (std::getenv("DEMO_GL_DEBUG")) std::fprintf(stderr, "OpenGL error: %s\n", text.c_str());
}

void GLAPIENTRY onDebugMessage(GLenum, GLenum type, GLuint, GLenum, GLsizei length, const GLchar* message,
                               const void*)
{
    if (type != GL_DEBUG_TYPE_ERROR) return;
    recordError(length > 0 ? std::string(message, static_cast<std::size_t>(length)) : std::string(message));
}

} // namespace

std::uint64_t glErrorsSeen()
{
    std::lock_guard<std::mutex> lock(errorMutex);
    return errorCount;
}

std::string lastGlErrorText()
{
    std::lock_guard<std::mutex> lock(errorMutex);
    return lastError;
}

void installGlDebugOutput()
{
    glEnable(GL_DEBUG_OUTPUT);
    glDebugMessageCallback(onDebugMessage, nullptr);
    // Only errors matter here; the rest would cost time in debug contexts.
    glDebugMessageControl(GL_DONT_CARE, GL_DONT_CARE, GL_DONT_CARE, 0, nullptr, GL_FALSE);
    glDebugMessageControl(GL_DONT_CARE, GL_DEBUG_TYPE_ERROR, GL_DONT_CARE, 0, nullptr, GL_TRUE);
}

void pollGlErrors(const char* where)
{
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError()) {
        char text[96];
        std::snprintf(text, sizeof text, "glGetError 0x%04X after %s", error, where);
        recordError(text);
    }
}

} // namespace d3dgl
