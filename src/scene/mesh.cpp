#include "scene/mesh.h"

#include "platform/shell/shell.h"

float* Mesh::controlField(const std::string&) { failWithMessage("Error", "Mesh: Invalid control field!", 0); }
