// Shared by the texture-file functions: the D3DXIMAGE_INFO of a decoded picture's header.
#pragma once

#include "platform/d3dx/d3dx_texture_files.h"
#include "platform/d3dx/picture_decoder.h"

D3DXIMAGE_INFO describePicture(const PictureHeader& header);
