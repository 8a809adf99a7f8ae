// The pictures of a scene, decoded once per file name into the state cache's texture cache.
// Failures end the program with the texture messages.
#pragma once

#include "platform/d3d9/d3d9.h"

#include <string>

class StateCache;

// The cached device texture of `fileName` (disk first, then the archive), decoding it on first
// use; a file that cannot be opened or decoded ends the program ("Texture load failed: %s").
IDirect3DTexture9* loadTextureImage(StateCache& cache, const std::string& fileName);
// A8R8G8B8 and L8 have alpha, X8R8G8B8 has not; any other format ends the program
// ("Unknown texture format").
bool textureHasAlpha(IDirect3DTexture9* texture);
