// The cube acceptance through the player: a glTF cube with a camera, a point light and a
// two-second quarter turn is imported and captured. Its outline and centre must be where the
// player's camera projects the imported file (within a pixel), its lit colour what D3D9's
// fixed-function point-light equation gives with the imported material and light (within 2
// per channel), and at 1 s it must have turned by the source animation's angle.
#include "capture_frames.h"
#include "import_test_support.h"
#include "source_files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// The source scene in glTF's axes: a cube of side 1 to the right of and above the view axis of
// a camera that looks down −Z from (0, 0, 4); from there only its +Z face is in sight until it
// turns. A point light in front, above and to the right; a quarter turn about Y over 2 s.
constexpr float kHalf = 0.5f;
const char* const kCubeScene =
    "\"extensionsUsed\":[\"KHR_lights_punctual\"],"
    "\"extensions\":{\"KHR_lights_punctual\":{\"lights\":[{\"type\":\"point\",\"color\":[1,0.8,0.6],\"intensity\":5}]}},"
    "\"scene\":0,\"scenes\":[{\"nodes\":[0,1,2]}],"
    "\"nodes\":[{\"name\":\"Cube\",\"mesh\":0,\"translation\":[0.4,0.2,0]},"
    "{\"name\":\"Cam\",\"camera\":0,\"translation\":[0,0,4]},"
    "{\"name\":\"Lamp\",\"translation\":[1.5,1,2.5],\"extensions\":{\"KHR_lights_punctual\":{\"light\":0}}}],"
    "\"cameras\":[{\"type\":\"perspective\",\"perspective\":{\"yfov\":0.8,\"aspectRatio\":1.33333,\"znear\":0.1,"
    "\"zfar\":100}}],"
    "\"materials\":[{\"name\":\"Brick\",\"pbrMetallicRoughness\":{\"baseColorFactor\":[0.8,0.2,0.1,1]}}],";

std::string cubeGltf(GltfWriter& gltf)
{
    const std::string cube = gltfCubePrimitive(gltf, kHalf, 0);
    const int times = gltf.floats({0.0f, 2.0f}, "SCALAR");
    const float s = std::sin(3.14159265f / 4), c = std::cos(3.14159265f / 4); // half of the quarter turn
    const int turns = gltf.floats({0, 0, 0, 1, 0, s, 0, c}, "VEC4");
    std::ostringstream json;
    json << kCubeScene << "\"meshes\":[{\"name\":\"CubeMesh\",\"primitives\":[" << cube << "]}],"
         << "\"animations\":[{\"name\":\"Spin\",\"channels\":[{\"sampler\":0,\"target\":{\"node\":0,\"path\":"
            "\"rotation\"}}],\"samplers\":[{\"input\":"
         << times << ",\"output\":" << turns << "}]}]";
    return json.str();
}

D3DXVECTOR3 colourOf(const PskColour& colour) { return {colour.red, colour.green, colour.blue}; }

D3DXVECTOR3 times(const D3DXVECTOR3& a, const D3DXVECTOR3& b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }

D3DXVECTOR3 clamped(const D3DXVECTOR3& v)
{
    return {std::clamp(v.x, 0.0f, 1.0f), std::clamp(v.y, 0.0f, 1.0f), std::clamp(v.z, 0.0f, 1.0f)};
}

struct VertexColours {
    D3DXVECTOR3 diffuse, specular; // each clamped to [0, 1] per vertex, as D3D9 does before interpolating
};

// D3D9's fixed-function vertex lighting for one point light, local viewer on, colours from the
// material: emissive + global ambient × ambient + attenuation × (diffuse × light × N·L), and
// the specular term attenuation × specular × light × (N·H)^power with H = norm(norm(eye − P) + L).
VertexColours pointLit(const PlayerView& view, D3DXVECTOR3 position, D3DXVECTOR3 normal, D3DXVECTOR3 eye)
{
    const PskMaterial& material = *view.all<PskMaterial>().at(0);
    const PskLight& light = *view.all<PskLight>().at(0);
    const D3DXMATRIX lamp = view.worldAt(view.nodeIndex(light.node.name).value(), 0.0f);
    const D3DXVECTOR3 lightColour = colourOf(light.colour) * light.intensity;
    D3DXVECTOR3 toLight = D3DXVECTOR3(lamp._41, lamp._42, lamp._43) - position;
    const float distance = D3DXVec3Length(&toLight);
    toLight *= 1.0f / distance;
    const float attenuation =
        1.0f / (light.attenuation[0] + light.attenuation[1] * distance + light.attenuation[2] * distance * distance);
    const float nDotL = std::max(0.0f, D3DXVec3Dot(&normal, &toLight));
    const D3DXVECTOR3 ambient = colourOf(view.all<PskAmbient>().at(0)->colour);
    const float glow = material.selfIllumination.red;
    VertexColours out;
    out.diffuse = clamped(D3DXVECTOR3(glow, glow, glow) + times(ambient, colourOf(material.ambient)) +
                          times(colourOf(material.diffuse), lightColour) * (nDotL * attenuation));
    D3DXVECTOR3 toEye = eye - position, half;
    D3DXVec3Normalize(&toEye, &toEye);
    half = toEye + toLight;
    D3DXVec3Normalize(&half, &half);
    const float power = material.glossiness * 32.0f;
    const float highlight = nDotL > 0.0f ? std::pow(std::max(0.0f, D3DXVec3Dot(&normal, &half)), power) : 0.0f;
    out.specular = clamped(times(colourOf(material.specular) * material.specularLevel, lightColour) *
                           (highlight * attenuation));
    return out;
}

D3DXVECTOR3 transformed(const D3DXMATRIX& matrix, D3DXVECTOR3 point)
{
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &point, &matrix);
    return out;
}

} // namespace

TEST(ImportCapture, CubeSitsWhereTheCameraPutsItLitAndTurnedAsTheSourceSays)
{
    const fs::path dir = freshFolder();
    GltfWriter gltf;
    gltf.write(dir, "cube", cubeGltf(gltf));
    const std::vector<DecodedPicture> frames = importAndCapture(dir, "cube", "0,1000");
    const PlayerView view(dir / "demo" / "cube.psk");
    const std::uint32_t cube = view.nodeIndex("Cube").value();
    // In the file's axes (glTF's Y and Z swapped) the source's +Z face is the local +Y face.
    auto project = [&](D3DXVECTOR3 local, float ms) { return view.project("Cam", cube, local, ms); };
    // The source's turn by `angle` about its Y, in the file's axes (Y and Z swapped, so the
    // mirror image of a turn about the file's Z), applied to a point by hand: where the cube's
    // corners must be at 1 s follows from the source, not from the imported track.
    auto sourceTurn = [](D3DXVECTOR3 p, float angle) {
        return D3DXVECTOR3(p.x * std::cos(angle) + p.y * std::sin(angle), -p.x * std::sin(angle) + p.y * std::cos(angle),
                           p.z);
    };
    auto cornerBounds = [&](float angle) {
        Bounds bounds;
        for (int k = 0; k < 8; ++k) {
            const D3DXVECTOR3 corner(k & 1 ? kHalf : -kHalf, k & 2 ? kHalf : -kHalf, k & 4 ? kHalf : -kHalf);
            const ScreenPoint p = project(sourceTurn(corner, angle), 0.0f);
            bounds.add(p.x, p.y);
        }
        return bounds;
    };

    // At 0 s the face seen is square on to the camera: the drawn square's edges are its
    // projected corners and its middle the projected face centre.
    const Bounds still = drawnBounds(frames[0]);
    expectBounds(still, cornerBounds(0.0f), 1.0f);
    const ScreenPoint faceCentre = project({0.0f, kHalf, 0.0f}, 0.0f);
    std::printf("centre measured (%.1f, %.1f), projected (%.2f, %.2f)\n", (still.left + still.right) / 2,
                (still.top + still.bottom) / 2, faceCentre.x, faceCentre.y);
    EXPECT_NEAR((still.left + still.right) / 2, faceCentre.x, 1.0f);
    EXPECT_NEAR((still.top + still.bottom) / 2, faceCentre.y, 1.0f);

    // The face's colour at its centre. The face is two triangles split along the diagonal from
    // its first to its third corner (source corners (−h, −h, h) and (h, h, h)), and the centre
    // lies on that diagonal halfway: Gouraud shading gives the mean of those two vertices'
    // colours there (perspective-correct or not, the face is parallel to the screen).
    const D3DXMATRIX world = view.worldAt(cube, 0.0f);
    const D3DXMATRIX camera = view.worldAt(view.nodeIndex("Cam").value(), 0.0f);
    const D3DXVECTOR3 eye(camera._41, camera._42, camera._43);
    D3DXVECTOR3 normal = transformed(world, {0.0f, 1.0f, 0.0f}) - transformed(world, {0.0f, 0.0f, 0.0f});
    const VertexColours first = pointLit(view, transformed(world, {-kHalf, kHalf, -kHalf}), normal, eye);
    const VertexColours third = pointLit(view, transformed(world, {kHalf, kHalf, kHalf}), normal, eye);
    const D3DXVECTOR3 lit = clamped((first.diffuse + third.diffuse + first.specular + third.specular) * 0.5f);
    const Rgb got = pixel(frames[0], static_cast<unsigned>(std::lround(faceCentre.x)),
                          static_cast<unsigned>(std::lround(faceCentre.y)));
    std::printf("face centre colour measured (%d, %d, %d), computed (%.2f, %.2f, %.2f)\n", got.r, got.g, got.b,
                lit.x * 255, lit.y * 255, lit.z * 255);
    EXPECT_NEAR(got.r, lit.x * 255.0f, 2.0f);
    EXPECT_NEAR(got.g, lit.y * 255.0f, 2.0f);
    EXPECT_NEAR(got.b, lit.z * 255.0f, 2.0f);

    // At 1 s the cube has turned an eighth of a turn: its outline is that of the turned
    // corners, and the edge through the source's corner (−h, ·, h), now nearest the camera,
    // shows as the seam between the two lit faces on the centre row.
    const float eighth = 3.14159265f / 4;
    const Bounds turned = drawnBounds(frames[1]);
    expectBounds(turned, cornerBounds(eighth), 1.0f);
    const float widthChange = (turned.right - turned.left) - (still.right - still.left);
    EXPECT_GT(widthChange, 20.0f) << "the outline does not tell the turn apart from no turn";
    const ScreenPoint marked = project(sourceTurn({-kHalf, kHalf, 0.0f}, eighth), 0.0f);
    const auto row = static_cast<unsigned>(std::lround(marked.y));
    float seam = 0.0f;
    int biggest = 0;
    for (auto x = static_cast<unsigned>(turned.left) + 2; x + 3 < static_cast<unsigned>(turned.right); ++x) {
        const Rgb a = pixel(frames[1], x, row), b = pixel(frames[1], x + 1, row);
        const int step = std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
        if (step > biggest)
            biggest = step, seam = static_cast<float>(x) + 0.5f;
    }
    std::printf("seam measured at x = %.1f (step %d), marked corner projected at x = %.2f\n", seam, biggest, marked.x);
    EXPECT_GT(biggest, 10);
    EXPECT_NEAR(seam, marked.x, 1.0f);
}
