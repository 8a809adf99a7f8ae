// Row conversions between 8-bit RGBA and the three picture formats a texture may have
// (A8R8G8B8, X8R8G8B8, L8), and between those formats directly. Grey survives every round
// trip exactly; colour becomes grey by integer Rec. 601 weights.
#pragma once

#include "platform/d3d9/d3d9.h"

#include <cstdint>

// The format a picture with this many stored channels decodes to (1 grey → L8, 2 grey and
// alpha → A8R8G8B8, 3 RGB → X8R8G8B8, 4 RGBA → A8R8G8B8); D3DFMT_UNKNOWN otherwise.
D3DFORMAT pictureFormatForComponents(unsigned components);

// True for the three formats below.
bool isPictureFormat(D3DFORMAT format);

// count pixels of R, G, B, A bytes into a row of format; false for other formats.
bool writeRgbaRow(const std::uint8_t* rgba, unsigned count, D3DFORMAT format, std::uint8_t* row);
// count pixels of a row of format into R, G, B, A bytes (X and L8 read with alpha 255).
bool readRgbaRow(const std::uint8_t* row, D3DFORMAT format, unsigned count, std::uint8_t* rgba);
// count pixels from one picture format to another (a plain copy when they agree).
bool convertPixelRow(const std::uint8_t* source, D3DFORMAT sourceFormat, unsigned count, std::uint8_t* target,
                     D3DFORMAT targetFormat);
