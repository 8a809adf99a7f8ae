// Writes the device's back buffer as it stands to a PNG file, through demotool's one atomic
// write (an exclusive temporary that no planted link can redirect, then renamed).
#pragma once

#include "platform/d3d9/d3d9.h"

#include <string>

// False with a message in error when the back buffer cannot be read or the file written.
bool writeBackBufferPng(IDirect3DDevice9* device, const std::string& path, std::string& error);
