// OpenGL error accounting shared by every device context: a debug-output callback counts the
// errors the driver reports, and checkpoints poll glGetError. Tests compare the count before
// and after a case; nothing here stops the program.
#pragma once

#include <cstdint>
#include <string>

namespace d3dgl {

// Errors seen so far in this process, and the text of the last one.
std::uint64_t glErrorsSeen();
std::string lastGlErrorText();

// Installs the debug-output callback on the current context.
void installGlDebugOutput();
// Drains glGetError on the current context, counting what it finds.
void pollGlErrors(const char* where);

} // namespace d3dgl
