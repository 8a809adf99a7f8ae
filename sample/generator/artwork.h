// The sample demo's pictures, drawn in code: textures for the scenes, full-screen pictures
// and overlays for the layers, a picture sequence, and captions in a small block font.
#pragma once

#include "pictures.h"

#include <string_view>

Picture duskSky();
Picture nightSky();
Picture floorTiles();
Picture waterRipples();
Picture stoneBlocks();
Picture crystalFacet(int frame); // frames 0–3 cycle the colour bands
Picture sparkBlob();
Picture nebulaBackdrop();        // 1024 × 600: wider than the screen so it can pan
Picture mountainHorizon();       // 1600 × 220 with alpha: a silhouette that scrolls
Picture beatRing(int frame, int frames); // a ring that bursts out over one beat
// Upper-case letters, digits and blanks; each font pixel drawn as a `scale` × `scale` block
// with a soft glow around it. Unknown characters are left blank.
Picture caption(std::string_view text, int scale, std::uint32_t rgb);
