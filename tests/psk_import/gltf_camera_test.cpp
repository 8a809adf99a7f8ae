// The camera and handedness acceptance: a coloured cube, a camera looking at it from above
// and aside, a point light and a two-second quarter turn. Where the player's camera puts the
// cube's centre and a marked corner on the screen (quarter turn about X, left-handed
// perspective, computed through the D3DX helpers from the imported file) must be where the
// source's own right-handed, Y-up, −Z-forward camera puts them, at 0 s, 1 s and 2 s.
#include "import_test_support.h"
#include "source_files.h"

#include <cmath>
#include <sstream>

namespace {

struct Vec3 {
    double x, y, z;
};
struct Quat {
    double x, y, z, w;
};

Quat axisAngle(Vec3 axis, double angle)
{
    const double s = std::sin(angle / 2);
    return {axis.x * s, axis.y * s, axis.z * s, std::cos(angle / 2)};
}

Quat multiply(Quat a, Quat b) // a after b (Hamilton)
{
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

Vec3 rotate(Quat q, Vec3 v)
{
    const Quat p = multiply(multiply(q, {v.x, v.y, v.z, 0}), {-q.x, -q.y, -q.z, q.w});
    return {p.x, p.y, p.z};
}

// The source scene, in glTF's own terms.
const Vec3 kCubeAt{1.0, 0.5, -2.0};
const Quat kCameraTurn = multiply(axisAngle({0, 1, 0}, 0.3), axisAngle({1, 0, 0}, -0.35));
const Vec3 kCameraAt{2.5, 3.0, 6.0};
const double kFov = 0.9, kAspect = 1.33333, kNear = 0.1, kFar = 100.0;
const double kTurn = 3.14159265358979 / 2; // over two seconds, about Y

ScreenPoint sourceProjection(Vec3 local, double seconds)
{
    const Vec3 turned = rotate(axisAngle({0, 1, 0}, kTurn * seconds / 2), local);
    const Vec3 world{kCubeAt.x + turned.x, kCubeAt.y + turned.y, kCubeAt.z + turned.z};
    const Vec3 eye = rotate({-kCameraTurn.x, -kCameraTurn.y, -kCameraTurn.z, kCameraTurn.w},
                            {world.x - kCameraAt.x, world.y - kCameraAt.y, world.z - kCameraAt.z});
    const double f = 1.0 / std::tan(kFov / 2);
    const double x = f / kAspect * eye.x / -eye.z, y = f * eye.y / -eye.z;
    return {static_cast<float>((x + 1) * 400), static_cast<float>((1 - y) * 300)};
}

std::filesystem::path writeCubeScene(const std::filesystem::path& dir)
{
    GltfWriter gltf;
    const std::string cube = gltfCubePrimitive(gltf, 0.5f, 0);
    const Quat quarter = axisAngle({0, 1, 0}, kTurn);
    const int times = gltf.floats({0.0f, 2.0f}, "SCALAR");
    const int turns = gltf.floats({0, 0, 0, 1, 0, static_cast<float>(quarter.y), 0, static_cast<float>(quarter.w)}, "VEC4");
    std::ostringstream json;
    json.precision(9);
    json << "\"extensionsUsed\":[\"KHR_lights_punctual\"],"
         << "\"extensions\":{\"KHR_lights_punctual\":{\"lights\":[{\"type\":\"point\",\"color\":[1,0.8,0.6],"
            "\"intensity\":20}]}},"
         << "\"scene\":0,\"scenes\":[{\"nodes\":[0,1,2]}],"
         << "\"nodes\":[{\"name\":\"Cube\",\"mesh\":0,\"translation\":[" << kCubeAt.x << "," << kCubeAt.y << ","
         << kCubeAt.z << "]},"
         << "{\"name\":\"Cam\",\"camera\":0,\"translation\":[" << kCameraAt.x << "," << kCameraAt.y << ","
         << kCameraAt.z << "],\"rotation\":[" << kCameraTurn.x << "," << kCameraTurn.y << "," << kCameraTurn.z << ","
         << kCameraTurn.w << "]},"
         << "{\"name\":\"Lamp\",\"translation\":[2,4,3],\"extensions\":{\"KHR_lights_punctual\":{\"light\":0}}}],"
         << "\"cameras\":[{\"type\":\"perspective\",\"perspective\":{\"yfov\":" << kFov << ",\"aspectRatio\":" << kAspect
         << ",\"znear\":" << kNear << ",\"zfar\":" << kFar << "}}],"
         << "\"meshes\":[{\"name\":\"CubeMesh\",\"primitives\":[" << cube << "]}],"
         << "\"materials\":[{\"name\":\"Brick\",\"pbrMetallicRoughness\":{\"baseColorFactor\":[0.8,0.2,0.1,1]}}],"
         << "\"animations\":[{\"name\":\"Spin\",\"channels\":[{\"sampler\":0,\"target\":{\"node\":0,\"path\":"
            "\"rotation\"}}],\"samplers\":[{\"input\":"
         << times << ",\"output\":" << turns << "}]}]";
    return gltf.write(dir, "cube", json.str());
}

} // namespace

TEST(GltfCamera, CubeCentreAndCornerLandWhereTheSourceCameraPutsThem)
{
    const auto dir = freshFolder();
    const Imported imported = importAndRead(writeCubeScene(dir), dir / "cube.psk");
    const std::uint32_t cube = imported.view.nodeIndex("Cube").value();
    const Vec3 corner{0.5, 0.5, 0.5};
    // The corner in the player's axes, as the imported vertex buffer holds it.
    const D3DXVECTOR3 cornerInFile(0.5f, 0.5f, 0.5f);
    for (const double seconds : {0.0, 1.0, 2.0}) {
        SCOPED_TRACE(seconds);
        const float ms = static_cast<float>(seconds * 1000);
        const ScreenPoint centre = imported.view.project("Cam", cube, D3DXVECTOR3(0, 0, 0), ms);
        const ScreenPoint expectedCentre = sourceProjection({0, 0, 0}, seconds);
        EXPECT_NEAR(centre.x, expectedCentre.x, 0.05f);
        EXPECT_NEAR(centre.y, expectedCentre.y, 0.05f);
        const ScreenPoint marked = imported.view.project("Cam", cube, cornerInFile, ms);
        const ScreenPoint expectedMarked = sourceProjection(corner, seconds);
        EXPECT_NEAR(marked.x, expectedMarked.x, 0.05f);
        EXPECT_NEAR(marked.y, expectedMarked.y, 0.05f);
        EXPECT_GT(expectedCentre.x, 0.0f);
        EXPECT_LT(expectedCentre.x, 800.0f);
    }
    // The turn is visible: the corner moves on the screen while the centre stays.
    const ScreenPoint start = sourceProjection(corner, 0.0), half = sourceProjection(corner, 1.0);
    EXPECT_GT(std::hypot(start.x - half.x, start.y - half.y), 10.0f);
}

TEST(GltfCamera, LensLightAndTrackCarryTheSourceValues)
{
    const auto dir = freshFolder();
    const Imported imported = importAndRead(writeCubeScene(dir), dir / "cube.psk");
    const PlayerView& view = imported.view;

    const auto cameras = view.all<PskCamera>();
    ASSERT_EQ(cameras.size(), 1u);
    EXPECT_NEAR(cameras[0]->fieldOfView, kFov, 1e-5);
    EXPECT_NEAR(cameras[0]->nearDistance, kNear, 1e-6);
    EXPECT_NEAR(cameras[0]->farDistance, kFar, 1e-4);

    // The point light sits at the source's place in the player's axes (Y and Z swapped) and
    // gives the source's colour times intensity within a step of a colour byte.
    const auto lights = view.all<PskLight>();
    ASSERT_EQ(lights.size(), 1u);
    const PskLight& light = *lights[0];
    EXPECT_EQ(light.lightType, 1);
    EXPECT_EQ(light.node.name, "Lamp");
    const D3DXMATRIX lamp = view.worldAt(view.nodeIndex("Lamp").value(), 0.0f);
    EXPECT_NEAR(lamp._41, 2.0f, 1e-5);
    EXPECT_NEAR(lamp._42, 3.0f, 1e-5);
    EXPECT_NEAR(lamp._43, 4.0f, 1e-5);
    const float expected[3] = {20.0f, 16.0f, 12.0f};
    const float got[3] = {light.colour.red * light.intensity, light.colour.green * light.intensity,
                          light.colour.blue * light.intensity};
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(got[c], expected[c], light.intensity / 255.0f) << c;
    EXPECT_EQ(light.attenuation, (PskVec3{0.0f, 0.0f, 1.0f}));

    const auto materials = view.all<PskMaterial>();
    ASSERT_EQ(materials.size(), 1u);
    EXPECT_EQ(materials[0]->diffuse.argb, 0xFFCC331Au);
    EXPECT_EQ(materials[0]->opacity, 1.0f);

    // 2 s at 50 per second: 101 samples from 0 to 2000 ms, looping over the whole animation.
    const PskTransformTrack* track = view.trackOf(view.nodeIndex("Cube").value());
    ASSERT_NE(track, nullptr);
    EXPECT_EQ(track->samples.size(), 101u);
    EXPECT_EQ(track->times.start, 0u);
    EXPECT_EQ(track->times.end, 2000u);
    EXPECT_EQ(track->times.loopLength, 2000u);

    // One top-level node: the player's root is the last one in the file.
    std::size_t topLevel = 0;
    for (const char* name : {"cube", "ROOT", "Cube", "Cam", "Lamp", "Lamp-node"}) {
        const auto index = view.nodeIndex(name);
        ASSERT_TRUE(index) << name;
        topLevel += view.node(*index)->parent == -1;
    }
    EXPECT_EQ(topLevel, 1u);
}

TEST(GltfCamera, FpsAndScaleChangeSamplesAndLengthsOnly)
{
    const auto dir = freshFolder();
    PskImportOptions options;
    options.fps = 10.0f;
    options.scale = 2.0f;
    const Imported imported = importAndRead(writeCubeScene(dir), dir / "cube.psk", options);
    const PlayerView& view = imported.view;
    EXPECT_EQ(view.trackOf(view.nodeIndex("Cube").value())->samples.size(), 21u);
    EXPECT_NEAR(view.all<PskCamera>()[0]->nearDistance, 2 * kNear, 1e-6);
    EXPECT_NEAR(view.all<PskLight>()[0]->attenuation[2], 0.25f, 1e-7);
    // Doubling every length leaves the picture as it was.
    const std::uint32_t cube = view.nodeIndex("Cube").value();
    const ScreenPoint corner = view.project("Cam", cube, D3DXVECTOR3(1.0f, 1.0f, 1.0f), 1000.0f);
    const ScreenPoint expected = sourceProjection({0.5, 0.5, 0.5}, 1.0);
    EXPECT_NEAR(corner.x, expected.x, 0.05f);
    EXPECT_NEAR(corner.y, expected.y, 0.05f);
}
