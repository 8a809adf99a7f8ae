// Image comparison and PNG input/output for the reference tests (stb, kept private here).
#include "reference/image_compare.h"

#include <algorithm>
#include <cstdlib>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

ImageDifference compareImages(const RgbaImage& actual, const RgbaImage& expected, int tolerance)
{
    ImageDifference difference;
    if (actual.width != expected.width || actual.height != expected.height ||
        actual.rgba.size() != expected.rgba.size()) {
        difference.sameSize = false;
        return difference;
    }
    for (std::size_t k = 0; k < actual.rgba.size(); k += 4) {
        int worst = 0;
        for (std::size_t c = 0; c < 4; ++c)
            worst = std::max(worst, std::abs(static_cast<int>(actual.rgba[k + c]) - static_cast<int>(expected.rgba[k + c])));
        difference.largestDifference = std::max(difference.largestDifference, worst);
        if (worst > tolerance && difference.pixelsOverTolerance++ == 0) {
            difference.firstX = static_cast<unsigned>((k / 4) % actual.width);
            difference.firstY = static_cast<unsigned>((k / 4) / actual.width);
        }
    }
    return difference;
}

std::string ImageDifference::describe() const
{
    if (!sameSize)
        return "the images differ in size";
    return std::to_string(pixelsOverTolerance) + " pixels over the tolerance, largest channel difference " +
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
