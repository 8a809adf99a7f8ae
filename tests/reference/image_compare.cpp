// Image comparison and PNG input/output for the reference tests (stb, kept private here).
#include "reference/image_compare.h"

#include <algorithm>
#include <cstdlib>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

constexpr int kEdgeContrast = 8;

int channelDistance(const std::uint8_t* a, const std::uint8_t* b)
{
    int worst = 0;
    for (int c = 0; c < 4; ++c)
        worst = std::max(worst, std::abs(static_cast<int>(a[c]) - static_cast<int>(b[c])));
    return worst;
}

// (x, y) lies on an edge of the image: some 8-neighbour differs from it by more than
// `contrast` in a channel. Coverage of such pixels flips when an edge moves a hair.
bool onStrongEdge(const RgbaImage& image, unsigned x, unsigned y, int contrast)
{
    const std::uint8_t* centre = image.rgba.data() + (static_cast<std::size_t>(y) * image.width + x) * 4;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const long nx = static_cast<long>(x) + dx, ny = static_cast<long>(y) + dy;
            if ((dx == 0 && dy == 0) || nx < 0 || ny < 0 || nx >= static_cast<long>(image.width) ||
                ny >= static_cast<long>(image.height))
                continue;
            if (channelDistance(image.rgba.data() + (static_cast<std::size_t>(ny) * image.width + nx) * 4, centre) >
                contrast)
                return true;
        }
    return false;
}

} // namespace

ImageDifference compareImages(const RgbaImage& actual, const RgbaImage& expected, int tolerance)
{
    ImageDifference difference;
    if (actual.width != expected.width || actual.height != expected.height ||
        actual.rgba.size() != expected.rgba.size() || actual.rgba.size() != std::size_t(actual.width) * actual.height * 4) {
        difference.sameSize = false;
        return difference;
    }
    for (unsigned y = 0; y < actual.height; ++y)
        for (unsigned x = 0; x < actual.width; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * actual.width + x) * 4;
            const int worst = channelDistance(actual.rgba.data() + at, expected.rgba.data() + at);
            difference.largestDifference = std::max(difference.largestDifference, worst);
            if (worst <= tolerance)
                continue;
            if (difference.pixelsOverTolerance++ == 0) {
                difference.firstX = x;
                difference.firstY = y;
            }
            if (onStrongEdge(expected, x, y, kEdgeContrast) || onStrongEdge(actual, x, y, kEdgeContrast))
                ++difference.edgeShiftedPixels;
        }
    return difference;
}

bool imagesMatch(const ImageDifference& difference, unsigned edgePixels)
{
    return difference.sameSize && difference.pixelsOverTolerance == difference.edgeShiftedPixels &&
           difference.edgeShiftedPixels <= edgePixels;
}

std::string ImageDifference::describe() const
{
    if (!sameSize)
        return "the images differ in size";
    return std::to_string(pixelsOverTolerance) + " pixels over the tolerance (" + std::to_string(edgeShiftedPixels) +
           " of them edge-shifted), largest channel difference " +
           std::to_string(largestDifference) + ", first at (" + std::to_string(firstX) + ", " + std::to_string(firstY) +
           ")";
}

bool loadPng(const std::string& path, RgbaImage& image)
{
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load(path.c_str(), &width, &height, &channels, 4);
    if (!pixels)
        return false;
    image.width = static_cast<unsigned>(width);
    image.height = static_cast<unsigned>(height);
    image.rgba.assign(pixels, pixels + static_cast<std::size_t>(width) * height * 4);
    stbi_image_free(pixels);
    return true;
}

bool savePng(const std::string& path, const RgbaImage& image)
{
    return stbi_write_png(path.c_str(), static_cast<int>(image.width), static_cast<int>(image.height), 4,
                          image.rgba.data(), static_cast<int>(image.width * 4)) != 0;
}
