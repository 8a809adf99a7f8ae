// The vertex limit acceptance through the player: a mesh above what 16-bit indices reach is
// imported, split, and captured; together its parts cover exactly its projected rectangle.
#include "capture_frames.h"
#include "import_test_support.h"
#include "source_files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace fs = std::filesystem;

// A flat grid of 350 × 200 = 70,000 vertices, more than 16-bit indices reach, square on to the
// camera and lit by a directional light straight along the view axis, so that every point of
// it has the same colour: split into several meshes, it still covers its projected rectangle in
// that colour, with no pixel lost where one mesh ends and the next begins.
TEST(ImportCapture, GridAboveTheVertexLimitIsSplitAndDrawsCompletely)
{
    constexpr std::uint32_t kColumns = 350, kRows = 200;
    constexpr float kHalfWidth = 1.5f, kHalfHeight = 1.0f;
    const fs::path dir = freshFolder();
    GltfWriter gltf;
    std::vector<float> positions, normals;
    for (std::uint32_t j = 0; j < kRows; ++j)
        for (std::uint32_t i = 0; i < kColumns; ++i) {
            positions.insert(positions.end(), {-kHalfWidth + 2 * kHalfWidth * i / (kColumns - 1),
                                               -kHalfHeight + 2 * kHalfHeight * j / (kRows - 1), 0.0f});
            normals.insert(normals.end(), {0.0f, 0.0f, 1.0f});
        }
    std::vector<std::uint32_t> indices;
    for (std::uint32_t j = 0; j + 1 < kRows; ++j)
        for (std::uint32_t i = 0; i + 1 < kColumns; ++i) {
            const std::uint32_t v = j * kColumns + i; // counter-clockwise seen from +Z
            indices.insert(indices.end(), {v, v + 1, v + 1 + kColumns, v, v + 1 + kColumns, v + kColumns});
        }
    std::ostringstream json;
    json << "\"extensionsUsed\":[\"KHR_lights_punctual\"],\"extensions\":{\"KHR_lights_punctual\":{\"lights\":"
            "[{\"type\":\"directional\",\"color\":[1,1,1],\"intensity\":1}]}},"
         << "\"scene\":0,\"scenes\":[{\"nodes\":[0,1,2]}],"
         << "\"nodes\":[{\"name\":\"Grid\",\"mesh\":0},{\"name\":\"Cam\",\"camera\":0,\"translation\":[0,0,4]},"
            "{\"name\":\"Sun\",\"translation\":[0,0,3],\"extensions\":{\"KHR_lights_punctual\":{\"light\":0}}}],"
         << "\"cameras\":[{\"type\":\"perspective\",\"perspective\":{\"yfov\":0.8,\"aspectRatio\":1.33333,"
            "\"znear\":0.1,\"zfar\":100}}],"
         << "\"materials\":[{\"name\":\"Leaf\",\"pbrMetallicRoughness\":{\"baseColorFactor\":[0.4,0.6,0.2,1]}}],"
         << "\"meshes\":[{\"name\":\"GridMesh\",\"primitives\":[{\"attributes\":{\"POSITION\":"
         << gltf.floats(positions, "VEC3") << ",\"NORMAL\":" << gltf.floats(normals, "VEC3")
         << "},\"indices\":" << gltf.ints(indices) << ",\"material\":0}]}]";
    gltf.write(dir, "grid", json.str());
    const std::vector<DecodedPicture> frames = importAndCapture(dir, "grid", "0");
    const PlayerView view(dir / "demo" / "grid.psk");

    // Each part's extent along the source's Y (the file's Z): where one part ends, the next
    // begins, and that seam must lie inside the rectangle checked below.
    std::size_t vertices = 0;
    std::vector<std::pair<float, float>> spans;
    for (const PskVertexBuffer* buffer : view.all<PskVertexBuffer>()) {
        EXPECT_LE(buffer->vertices.size(), 65536u);
        vertices += buffer->vertices.size();
        std::pair<float, float> span{1e9f, -1e9f};
        for (const PskVertex& vertex : buffer->vertices)
            span = {std::min(span.first, vertex.position[2]), std::max(span.second, vertex.position[2])};
        spans.push_back(span);
    }
    EXPECT_GE(view.all<PskMesh>().size(), 2u);
    EXPECT_GE(vertices, std::size_t{kColumns} * kRows);
    std::sort(spans.begin(), spans.end());
    ASSERT_GE(spans.size(), 2u);
    const float seam = spans[0].second;
    EXPECT_LE(spans[1].first, seam) << "a gap between the parts";
    EXPECT_GT(seam, -kHalfHeight + 0.05f);
    EXPECT_LT(seam, kHalfHeight - 0.05f);

    // Diffuse × light with N·L = 1 (the light shines down the source's −Z onto the +Z face), no
    // attenuation for a directional light, black ambient, no glow and no specular colour.
    const PskMaterial& material = *view.all<PskMaterial>().at(0);
    const PskLight& light = *view.all<PskLight>().at(0);
    const float expected[3] = {material.diffuse.red * light.colour.red * light.intensity * 255.0f,
                               material.diffuse.green * light.colour.green * light.intensity * 255.0f,
                               material.diffuse.blue * light.colour.blue * light.intensity * 255.0f};
    const std::uint32_t grid = view.nodeIndex("Grid").value();
    // The source's (x, y, 0) is the file's (x, 0, y).
    const ScreenPoint low = view.project("Cam", grid, {-kHalfWidth, 0.0f, -kHalfHeight}, 0.0f);
    const ScreenPoint high = view.project("Cam", grid, {kHalfWidth, 0.0f, kHalfHeight}, 0.0f);
    Bounds rectangle;
    rectangle.add(low.x, low.y);
    rectangle.add(high.x, high.y);
    expectBounds(drawnBounds(frames[0]), rectangle, 1.0f);
    std::size_t inside = 0, wrong = 0, outsideDrawn = 0;
    int worst = 0;
    for (unsigned y = 0; y < kFrameHeight; ++y)
        for (unsigned x = 0; x < kFrameWidth; ++x) {
            const auto cx = static_cast<float>(x), cy = static_cast<float>(y);
            if (cx > rectangle.left + 1 && cx < rectangle.right - 1 && cy > rectangle.top + 1 &&
                cy < rectangle.bottom - 1) {
                ++inside;
                const Rgb c = pixel(frames[0], x, y);
                const int off = static_cast<int>(std::ceil(std::max(
                    {std::fabs(c.r - expected[0]), std::fabs(c.g - expected[1]), std::fabs(c.b - expected[2])})));
                worst = std::max(worst, off);
                wrong += off > 2;
            } else if (cx < rectangle.left - 1 || cx > rectangle.right + 1 || cy < rectangle.top - 1 ||
                       cy > rectangle.bottom + 1) {
                outsideDrawn += drawn(frames[0], x, y);
            }
        }
    std::printf("grid: %zu meshes, %zu vertices, parts meet at source y = %.3f (screen y %.1f)\n",
                view.all<PskMesh>().size(), vertices, seam, view.project("Cam", grid, {0.0f, 0.0f, seam}, 0.0f).y);
    std::printf("grid: %zu pixels inside, %zu off (%.1f, %.1f, %.1f) by more than 2 (worst %d), %zu drawn outside\n",
                inside, wrong, expected[0], expected[1], expected[2], worst, outsideDrawn);
    EXPECT_GT(inside, 100000u);
    EXPECT_EQ(wrong, 0u);
    EXPECT_EQ(outsideDrawn, 0u);
}
