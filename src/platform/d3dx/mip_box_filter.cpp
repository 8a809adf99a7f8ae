// Box filter for mip chains.

#include "platform/d3dx/mip_box_filter.h"

#include <cstddef>

unsigned mipSide(unsigned side, unsigned level)
{
    const unsigned halved = level >= 32 ? 0 : side >> level;
    return halved ? halved : 1;
}

unsigned fullMipLevelCount(unsigned width, unsigned height)
{
    unsigned side = width > height ? width : height;
    unsigned levels = 1;
    while (side > 1) {
        side >>= 1;
        ++levels;
    }
    return levels;
}

std::vector<std::uint8_t> boxFilterHalf(const std::uint8_t* rgba, unsigned width, unsigned height)
{
    const unsigned halfWidth = mipSide(width, 1), halfHeight = mipSide(height, 1);
    std::vector<std::uint8_t> half(std::size_t(halfWidth) * halfHeight * 4);
    const std::size_t stride = std::size_t(width) * 4;
    for (unsigned y = 0; y < halfHeight; ++y) {
        const unsigned y0 = height > 1 ? 2 * y : 0, y1 = height > 1 ? 2 * y + 1 : 0;
        for (unsigned x = 0; x < halfWidth; ++x) {
            const unsigned x0 = width > 1 ? 2 * x : 0, x1 = width > 1 ? 2 * x + 1 : 0;
            const std::uint8_t* a = rgba + y0 * stride + x0 * 4;
            const std::uint8_t* b = rgba + y0 * stride + x1 * 4;
            const std::uint8_t* c = rgba + y1 * stride + x0 * 4;
            const std::uint8_t* d = rgba + y1 * stride + x1 * 4;
            std::uint8_t* out = half.data() + (std::size_t(y) * halfWidth + x) * 4;
            for (int k = 0; k < 4; ++k)
                out[k] = static_cast<std::uint8_t>((a[k] + b[k] + c[k] + d[k] + 2) / 4);
        }
    }
    return half;
}
