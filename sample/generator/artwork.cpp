#include "artwork.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace {

// A repeatable hash noise in [0, 1).
float hash(int x, int y, int seed)
{
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u +
                      static_cast<std::uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<float>((h ^ (h >> 16)) & 0xFFFFFF) / 16777216.0f;
}

// Bilinear value noise at a cell size, summed over octaves.
float smoothNoise(float x, float y, int seed)
{
    float total = 0.0f, weight = 0.5f;
    for (int octave = 0; octave < 4; ++octave) {
        const int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
        const float fx = x - static_cast<float>(ix), fy = y - static_cast<float>(iy);
        const float a = hash(ix, iy, seed + octave), b = hash(ix + 1, iy, seed + octave);
        const float c = hash(ix, iy + 1, seed + octave), d = hash(ix + 1, iy + 1, seed + octave);
        total += weight * ((a * (1 - fx) + b * fx) * (1 - fy) + (c * (1 - fx) + d * fx) * fy);
        x *= 2.0f;
        y *= 2.0f;
        weight *= 0.5f;
    }
    return total / 0.9375f;
}

float mix(float a, float b, float t) { return a + (b - a) * t; }

void stars(Picture& p, int seed, float density)
{
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (hash(x, y, seed) < density) {
                const float level = 0.5f + 0.5f * hash(y, x, seed);
                p.at(x, y) = argbOf(level, level, std::min(1.0f, level + 0.1f));
            }
}

} // namespace

Picture duskSky()
{
    Picture p(128, 128);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const float t = static_cast<float>(y) / 127.0f, cloud = smoothNoise(x / 16.0f, y / 8.0f, 3);
            p.at(x, y) = argbOf(mix(0.12f, 0.85f, t * t) + 0.1f * cloud, mix(0.05f, 0.35f, t * t), mix(0.25f, 0.3f, t) + 0.1f * cloud);
        }
    stars(p, 11, 0.004f);
    return p;
}

Picture nightSky()
{
    Picture p(128, 128);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const float haze = smoothNoise(x / 20.0f, y / 20.0f, 5);
            p.at(x, y) = argbOf(0.02f + 0.05f * haze, 0.03f + 0.06f * haze, 0.12f + 0.12f * haze);
        }
    stars(p, 17, 0.012f);
    // A moon in one corner of every face.
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const float d = std::hypot(static_cast<float>(x - 92), static_cast<float>(y - 30));
            if (d < 7) p.at(x, y) = argbOf(0.95f, 0.95f, 0.85f - 0.1f * smoothNoise(x / 4.0f, y / 4.0f, 9));
        }
    return p;
}

Picture floorTiles()
{
    Picture p(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const bool grout = x % 32 < 2 || y % 32 < 2;
            const float n = smoothNoise(x / 6.0f, y / 6.0f, 21);
            const float dark = ((x / 32 + y / 32) % 2) ? 0.8f : 1.0f;
            p.at(x, y) = grout ? argbOf(0.15f, 0.12f, 0.12f) : argbOf(dark * (0.55f + 0.2f * n), dark * (0.5f + 0.2f * n), dark * (0.55f + 0.25f * n));
        }
    return p;
}

Picture waterRipples()
{
    Picture p(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const float n = smoothNoise(x / 8.0f, y / 8.0f, 31);
            const float ripple = 0.5f + 0.5f * std::sin((static_cast<float>(x) + 12 * n) * 0.196f);
            p.at(x, y) = argbOf(0.05f + 0.15f * ripple, 0.2f + 0.2f * ripple, 0.4f + 0.3f * n);
        }
    return p;
}

Picture stoneBlocks()
{
    Picture p(128, 128);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const int row = y / 32, shift = (row % 2) * 24;
            const bool joint = (y % 32) < 2 || ((x + shift) % 48) < 2;
            const float n = smoothNoise(x / 10.0f, y / 10.0f, 41);
            const float v = joint ? 0.25f : 0.5f + 0.3f * n;
            p.at(x, y) = argbOf(v, v * 0.95f, v * 0.85f);
        }
    return p;
}

Picture crystalFacet(int frame)
{
    Picture p(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const float band = 0.5f + 0.5f * std::sin(static_cast<float>(y) * 0.2f - 1.5707964f * static_cast<float>(frame));
            const float n = smoothNoise(x / 8.0f, y / 8.0f, 51);
            p.at(x, y) = argbOf(0.3f + 0.5f * band, 0.5f + 0.4f * n, 0.9f, 1.0f);
        }
    return p;
}

Picture sparkBlob()
{
    Picture p(32, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const float d = std::hypot(static_cast<float>(x) - 15.5f, static_cast<float>(y) - 15.5f) / 16.0f;
            const float fall = std::max(0.0f, 1.0f - d);
            const float core = fall * fall;
            p.at(x, y) = argbOf(1.0f, 0.6f + 0.4f * core, 0.3f + 0.7f * core, core);
        }
    return p;
}

Picture nebulaBackdrop()
{
    Picture p(1024, 600);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 1024; ++x) {
            const float a = smoothNoise(x / 160.0f, y / 160.0f, 61), b = smoothNoise(x / 90.0f, y / 90.0f, 67);
            const float glow = std::pow(std::max(0.0f, a - 0.35f) * 1.6f, 2.0f);
            p.at(x, y) = argbOf(0.05f + 0.6f * glow * b, 0.02f + 0.25f * glow, 0.12f + 0.5f * glow * (1 - b));
        }
    stars(p, 71, 0.002f);
    return p;
}

Picture mountainHorizon()
{
    Picture p(1600, 220, 0x00000000u);
    for (int x = 0; x < 1600; ++x) {
        const float ridge = 60.0f + 90.0f * smoothNoise(static_cast<float>(x) / 140.0f, 0.5f, 81);
        for (int y = static_cast<int>(ridge); y < 220; ++y) {
            const float depth = static_cast<float>(y) - ridge;
            p.at(x, y) = argbOf(0.03f, 0.02f + 0.0005f * depth, 0.06f, std::min(1.0f, depth / 3.0f));
        }
    }
    return p;
}

Picture beatRing(int frame, int frames)
{
    Picture p(128, 128, 0x00000000u);
    const float t = static_cast<float>(frame) / static_cast<float>(std::max(frames, 1));
    const float radius = 10.0f + 50.0f * t, fade = 1.0f - t;
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const float d = std::hypot(static_cast<float>(x) - 63.5f, static_cast<float>(y) - 63.5f);
            const float ring = std::exp(-(d - radius) * (d - radius) / 18.0f) * fade;
            p.at(x, y) = argbOf(ring, 0.6f * ring, 0.3f * ring, ring);
        }
    return p;
}

namespace {

// 5 × 7 block glyphs, one string per row, '#' lit.
struct Glyph {
    char letter;
    std::array<const char*, 7> rows;
};

constexpr Glyph kGlyphs[] = {
    {'A', {" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
    {'C', {" ####", "#    ", "#    ", "#    ", "#    ", "#    ", " ####"}},
    {'D', {"#### ", "#   #", "#   #", "#   #", "#   #", "#   #", "#### "}},
    {'E', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"}},
    {'G', {" ####", "#    ", "#    ", "# ###", "#   #", "#   #", " ####"}},
    {'I', {"#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "#####"}},
    {'K', {"#   #", "#  # ", "# #  ", "##   ", "# #  ", "#  # ", "#   #"}},
    {'L', {"#    ", "#    ", "#    ", "#    ", "#    ", "#    ", "#####"}},
    {'M', {"#   #", "## ##", "# # #", "# # #", "#   #", "#   #", "#   #"}},
    {'N', {"#   #", "##  #", "# # #", "#  ##", "#   #", "#   #", "#   #"}},
    {'O', {" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
    {'P', {"#### ", "#   #", "#   #", "#### ", "#    ", "#    ", "#    "}},
    {'R', {"#### ", "#   #", "#   #", "#### ", "# #  ", "#  # ", "#   #"}},
    {'S', {" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### "}},
    {'T', {"#####", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  "}},
    {'U', {"#   #", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
    {'W', {"#   #", "#   #", "#   #", "# # #", "# # #", "## ##", "#   #"}},
    {'Y', {"#   #", "#   #", " # # ", "  #  ", "  #  ", "  #  ", "  #  "}},
};

const Glyph* glyphFor(char c)
{
    for (const Glyph& g : kGlyphs)
        if (g.letter == c) return &g;
    return nullptr;
}

} // namespace

Picture caption(std::string_view text, int scale, std::uint32_t rgb)
{
    scale = std::clamp(scale, 1, 32);
    const int margin = 2 * scale, advance = 6 * scale;
    const int width = std::max<int>(1, static_cast<int>(text.size()) * advance - scale) + 2 * margin;
    const int height = 7 * scale + 2 * margin;
    std::vector<float> lit(static_cast<std::size_t>(width) * height, 0.0f);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Glyph* g = glyphFor(text[i]);
        if (!g) continue;
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 5; ++col)
                if (g->rows[static_cast<std::size_t>(row)][col] == '#')
                    for (int y = 0; y < scale; ++y)
                        for (int x = 0; x < scale; ++x)
                            lit[static_cast<std::size_t>(margin + row * scale + y) * width + margin +
                                static_cast<int>(i) * advance + col * scale + x] = 1.0f;
    }
    Picture p(width, height, 0x00000000u);
    const int reach = scale;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            // Alpha is the letter itself, or a halo that falls off within one font pixel.
            float halo = 0.0f;
            for (int dy = -reach; dy <= reach; dy += std::max(1, reach / 3))
                for (int dx = -reach; dx <= reach; dx += std::max(1, reach / 3)) {
                    const int sx = x + dx, sy = y + dy;
                    if (sx >= 0 && sy >= 0 && sx < width && sy < height && lit[static_cast<std::size_t>(sy) * width + sx] > 0)
                        halo = std::max(halo, 1.0f - std::hypot(static_cast<float>(dx), static_cast<float>(dy)) / (1.5f * reach));
                }
            const float core = lit[static_cast<std::size_t>(y) * width + x];
            const float alpha = std::max(core, 0.6f * halo);
            const float r = ((rgb >> 16) & 0xFF) / 255.0f, g = ((rgb >> 8) & 0xFF) / 255.0f, b = (rgb & 0xFF) / 255.0f;
            p.at(x, y) = core > 0 ? argbOf(1.0f, 1.0f, 1.0f, 1.0f) : argbOf(r, g, b, alpha);
        }
    return p;
}
