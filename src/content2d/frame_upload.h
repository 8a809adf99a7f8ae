// Copies a decoded frame (a system-memory surface) into level 0 of the blitter's texture.
// Frames of a sequence may differ in size and format from the texture: only the rows and
// columns both have are copied, converted when the formats differ, and texels the frame does
// not cover are cleared, so no copy ever runs past the texture's rows or pitch.
#pragma once

#include "platform/d3d9/d3d9.h"

void uploadFrame(IDirect3DTexture9* texture, IDirect3DSurface9* frame);
