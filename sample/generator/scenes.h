// The sample demo's scene files. Scene time is in milliseconds and starts at the section's
// first bar, so tracks that loop every 500 ms fall on the beat.
#pragma once

#include <cstdint>
#include <vector>

// A ring of sparks and glowing cubes turning about its centre; nested into both scenes.
std::vector<std::uint8_t> ringScene();
// Dusk: a crystal on a plaza between pillars, lights that pulse with the beat, cameras cut
// by time every two bars.
std::vector<std::uint8_t> citadelScene();
// Night sea: a heaving water grid, a lighthouse beam, drifting camera; cameras cut by name.
std::vector<std::uint8_t> oceanScene();

// Texture file names the scenes use (the pictures are drawn by artwork.cpp).
inline constexpr const char* kCrystalTexture = "crystal.tga"; // animated by crystal.seq beside it
