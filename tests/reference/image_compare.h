// Per-channel comparison of two RGBA images, with a summary worth printing on failure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RgbaImage {
    unsigned width = 0;
    unsigned height = 0;
    std::vector<std::uint8_t> rgba;
};

struct ImageDifference {
    bool sameSize = true;
    unsigned pixelsOverTolerance = 0;
    // Of those, pixels on an edge (a neighbour differs by more than 8 in a channel)
    // in either image: where coverage flips when an edge moves by a hair.
    unsigned edgeShiftedPixels = 0;
    int largestDifference = 0;
    unsigned firstX = 0, firstY = 0; // first pixel over the tolerance
    std::string describe() const;
};

ImageDifference compareImages(const RgbaImage& actual, const RgbaImage& expected, int tolerance);

// Equal within the tolerance, except for at most `edgePixels` edge-shifted pixels.
bool imagesMatch(const ImageDifference& difference, unsigned edgePixels);

// Loads a PNG as RGBA; false when the file is missing or unreadable.
bool loadPng(const std::string& path, RgbaImage& image);
// Writes a PNG (used to leave the GL device's output beside a failing comparison).
bool savePng(const std::string& path, const RgbaImage& image);
