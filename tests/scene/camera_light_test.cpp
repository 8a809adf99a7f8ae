// Camera: orientation, view, projection (aspect, combined flag), frustum, control fields and
// the per-frame refresh. Light: the device light from colour, intensity, cones and the world
// matrix, its index, its control fields.
#include "scene_fixture.h"

#include "scene/light.h"
#include "scene/prs_controller.h"

#include <cmath>

namespace {

class CameraTest : public SceneTest {
protected:
    // Where a world point lands in the camera's view space.
    static D3DXVECTOR3 inView(const Camera& cam, const D3DXVECTOR3& world)
    {
        D3DXVECTOR3 out;
        D3DXVec3TransformCoord(&out, &world, &cam.view());
        return out;
    }
    Camera& activeAt(const Transform& placement, int parentId = -1)
    {
        Camera& cam = camera("cam", parentId);
        cam.transform = placement;
        cam.fieldOfView = 1.0f;
        cam.nearDistance = 1.0f;
        cam.farDistance = 100.0f;
        return cam;
    }
    static D3DXQUATERNION aboutZ(float angle)
    {
        const D3DXVECTOR3 z(0, 0, 1);
        D3DXQUATERNION q;
        D3DXQuaternionRotationAxis(&q, &z, angle);
        return q;
    }
};

TEST_F(CameraTest, AnUnturnedCameraLooksAlongMinusYWithZUp)
{
    Camera& cam = activeAt(at(0, 10, 0));
    scene->prepare();
    ASSERT_TRUE(cam.isActive());
    const D3DXVECTOR3 origin = inView(cam, {0, 0, 0});
    EXPECT_NEAR(origin.x, 0.0f, 1e-4f);
    EXPECT_NEAR(origin.y, 0.0f, 1e-4f);
    EXPECT_NEAR(origin.z, 10.0f, 1e-4f);
    EXPECT_NEAR(inView(cam, {0, 10, 3}).y, 3.0f, 1e-4f); // +z is up
    EXPECT_NEAR(inView(cam, {2, 10, 0}).x, 2.0f, 1e-4f); // +x is right
}

TEST_F(CameraTest, TheQuarterTurnComesBeforeTheCamerasRotationAndTheParentAfter)
{
    Group& parent = node("parent");
    parent.transform = at(5, 0, 0);
    Transform turned = at(0, 0, 0);
    turned.rotation = aboutZ(3.14159265f / 2);
    Camera& cam = activeAt(turned, parent.id());
    scene->setRoot(&parent);
    scene->prepare();
    // Turned about z after the quarter turn, the camera looks along +x from (5, 0, 0).
    const D3DXVECTOR3 ahead = inView(cam, {12, 0, 0});
    EXPECT_NEAR(ahead.x, 0.0f, 1e-4f);
    EXPECT_NEAR(ahead.y, 0.0f, 1e-4f);
    EXPECT_NEAR(ahead.z, 7.0f, 1e-4f);
    // The quarter turn is the single-precision half angle, not π/4 exactly.
    const double c = Camera::kOrientationHalfAngle;
    EXPECT_EQ(static_cast<float>(c), 0.7853975f);
    EXPECT_NE(static_cast<float>(std::sin(c)), static_cast<float>(std::sqrt(0.5)));
}

TEST_F(CameraTest, ProjectionIsLeftHandedWithTheCachesAspectRatio)
{
    Camera& cam = activeAt(at(0, 10, 0));
    cam.aspectRatio = 2.0f; // what the loader stored is replaced
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    scene->prepare();
    EXPECT_EQ(cam.aspectRatio, 1.33333f);
    const D3DXMATRIX& p = cam.projection();
    const float yScale = 1.0f / std::tan(0.5f);
    EXPECT_NEAR(p._22, yScale, 1e-5f);
    EXPECT_NEAR(p._11, yScale / 1.33333f, 1e-5f);
    EXPECT_NEAR(p._33, 100.0f / 99.0f, 1e-5f);
    EXPECT_NEAR(p._43, -100.0f / 99.0f, 1e-5f);
    EXPECT_EQ(p._34, 1.0f);
    EXPECT_EQ(D3DXMATRIX(device->transform(D3DTS_PROJECTION)), p);
    EXPECT_EQ(D3DXMATRIX(device->transform(D3DTS_VIEW)), cam.view());
    EXPECT_EQ(device->renderState(D3DRS_ZENABLE), DWORD(D3DZB_TRUE));
}

TEST_F(CameraTest, TheCombinedSceneFlagPutsTheFarPlaneAtInfinity)
{
    scene->stateCache().shadowLightFlag = true;
    scene->stateCache().meshFlagA = true;
    scene->stateCache().meshFlagB = true;
    Camera& cam = activeAt(at(0, 10, 0));
    scene->prepare();
    for (const auto& [nearDistance, farDistance] : {std::pair{1.0f, 100.0f}, {0.25f, 7.0f}, {50.0f, 60.0f}}) {
        cam.nearDistance = nearDistance;
        cam.farDistance = farDistance;
        cam.refresh(false);
        EXPECT_EQ(cam.projection()._33, 1.0f);
        EXPECT_EQ(cam.projection()._43, -1.0f);
    }
}

TEST_F(CameraTest, ControlFieldsReachTheNextFramesProjection)
{
    Camera& cam = activeAt(at(0, 10, 0));
    scene->setRoot(&node("root"));
    scene->setLoaded(true);
    scene->prepare();
    const struct {
        const char* name;
        float* field;
        float value;
    } fields[] = {{"FOVTRACK", &cam.fieldOfView, 0.5f}, {"NearClip", &cam.nearDistance, 2.0f},
                  {"FarClip", &cam.farDistance, 300.0f}, {"VISTRACK", &cam.visibility, 0.25f}};
    for (const auto& f : fields) {
        SCOPED_TRACE(f.name);
        ASSERT_EQ(cam.controlField(f.name), f.field);
        const D3DXMATRIX before = cam.projection();
        *f.field = f.value;
        scene->render();
        EXPECT_EQ(cam.projection() != before, f.field != &cam.visibility);
    }
    EXPECT_EXIT(WITH_REAL_SHELL(cam.controlField("Fov")), ::testing::ExitedWithCode(0),
                "Error: Group: Invalid control field!");
}

TEST_F(CameraTest, ASphereCuttingTheLeftPlaneIsVisibleEvenBeyondTheFarPlane)
{
    // At the origin the camera's view space is world (x, z, −y): view depth runs along −y.
    Camera& cam = activeAt(at(0, 0, 0));
    cam.fieldOfView = 3.14159265f / 2;
    scene->prepare();
    const float leftAtDepth200 = -200.0f * 1.33333f;
    EXPECT_TRUE(cam.frustum.containsSphere({leftAtDepth200, -200, 0}, 5)); // beyond far, on the left plane
    EXPECT_FALSE(cam.frustum.containsSphere({0, -200, 0}, 5));              // beyond far, in the middle
    EXPECT_TRUE(cam.frustum.containsSphere({0, -50, 0}, 5));
    EXPECT_FALSE(cam.frustum.containsSphere({leftAtDepth200 - 20, -200, 0}, 5)); // wholly left
    EXPECT_FALSE(cam.frustum.containsSphere({0, 10, 0}, 5));                     // behind
}

TEST_F(CameraTest, ACameraWhoseParentMovesGetsANewViewOnTheNextRender)
{
    Group& parent = node("parent");
    Camera& cam = activeAt(at(0, 10, 0), parent.id());
    scene->setRoot(&parent);
    auto track = std::make_unique<PRSController>(&parent);
    track->samples.resize(2);
    track->samples[1].position = D3DXVECTOR3(4, 0, 0);
    track->timing = {false, 100, 0, 100};
    scene->addController(std::move(track));
    scene->setLoaded(true);
    scene->prepare();
    scene->animate(0);
    scene->render();
    EXPECT_NEAR(device->transform(D3DTS_VIEW)._41, 0.0f, 1e-4f);
    scene->animate(50);
    scene->render();
    // The parent moved 2 along x: the world origin is 2 to the left in view.
    EXPECT_NEAR(device->transform(D3DTS_VIEW)._41, -2.0f, 1e-4f);
    EXPECT_NEAR(inView(cam, {2, 0, 0}).x, 0.0f, 1e-4f);
}

TEST_F(CameraTest, OnlyTheActiveCameraSetsTheDevice)
{
    Camera& first = activeAt(at(0, 10, 0));
    Camera& second = activeAt(at(0, 20, 0));
    scene->prepare();
    EXPECT_TRUE(first.isActive());
    EXPECT_FALSE(second.isActive());
    device->clearCalls();
    second.refresh(true);
    EXPECT_EQ(device->countCalls("SetTransform"), 0u);
    scene->setActiveCamera(&second);
    EXPECT_NEAR(device->transform(D3DTS_VIEW)._43, 20.0f, 1e-4f);
}

class LightTest : public SceneTest {
protected:
    Light& light(const std::string& name)
    {
        Light& created = scene->create<Light>(scene->nextId());
        created.name = name;
        return created;
    }
};

TEST_F(LightTest, TheDeviceLightComesFromColourIntensityConesAndTheWorldMatrix)
{
    Light& spot = light("spot");
    spot.type = D3DLIGHT_SPOT;
    spot.colour = {1.0f, 0.5f, 0.0f, 1.0f};
    spot.intensity = 2.0f;
    spot.innerCone = 30.0f;
    spot.outerCone = 60.0f;
    spot.range = 40.0f;
    spot.attenuation0 = 0.5f;
    spot.attenuation1 = 0.25f;
    spot.attenuation2 = 0.125f;
    spot.transform.position = D3DXVECTOR3(1, 2, 3);
    const D3DXVECTOR3 x(1, 0, 0);
    D3DXQuaternionRotationAxis(&spot.transform.rotation, &x, 3.14159265f / 2);
    spot.link();
    spot.refresh(true);

    const D3DLIGHT9* set = device->light(spot.deviceIndex());
    ASSERT_NE(set, nullptr);
    EXPECT_TRUE(device->lightEnabled(spot.deviceIndex()));
    EXPECT_EQ(set->Type, D3DLIGHT_SPOT);
    const D3DCOLORVALUE twice{2.0f, 1.0f, 0.0f, 2.0f};
    for (const D3DCOLORVALUE& c : {set->Diffuse, set->Specular}) {
        EXPECT_FLOAT_EQ(c.r, twice.r);
        EXPECT_FLOAT_EQ(c.g, twice.g);
        EXPECT_FLOAT_EQ(c.b, twice.b);
        EXPECT_FLOAT_EQ(c.a, twice.a);
    }
    EXPECT_EQ(set->Ambient.r + set->Ambient.g + set->Ambient.b + set->Ambient.a, 0.0f);
    EXPECT_FLOAT_EQ(set->Theta, 30.0f * 0.017453292f);
    EXPECT_FLOAT_EQ(set->Phi, 60.0f * 0.017453292f);
    EXPECT_EQ(set->Falloff, 1.0f);
    EXPECT_EQ(set->Range, 40.0f);
    EXPECT_EQ(set->Attenuation0, 0.5f);
    EXPECT_EQ(set->Attenuation1, 0.25f);
    EXPECT_EQ(set->Attenuation2, 0.125f);
    EXPECT_FLOAT_EQ(set->Position.x, 1.0f);
    EXPECT_FLOAT_EQ(set->Position.z, 3.0f);
    // Turned a quarter about x, the node's −y axis points along +z.
    EXPECT_NEAR(set->Direction.x, 0.0f, 1e-6f);
    EXPECT_NEAR(set->Direction.y, 0.0f, 1e-6f);
    EXPECT_NEAR(set->Direction.z, 1.0f, 1e-6f);
}

TEST_F(LightTest, IndicesAreHandedOutOnFirstSetAndKept)
{
    Light& first = light("first");
    Light& second = light("second");
    EXPECT_EQ(first.deviceIndex(), StateCache::kNoLightIndex);
    scene->prepare();
    first.refresh(false);
    second.refresh(false);
    EXPECT_EQ(first.deviceIndex(), 0u);
    EXPECT_EQ(second.deviceIndex(), 1u);
    // Every refresh sends the light again, at the same index.
    first.intensity = 3.0f;
    first.refresh(false);
    EXPECT_EQ(first.deviceIndex(), 0u);
    EXPECT_FLOAT_EQ(device->light(0)->Diffuse.r, 3.0f);
    EXPECT_EQ(scene->stateCache().nextLightIndex(), 2u);
    // Lights start set: enableLights adds nothing.
    device->clearCalls();
    scene->enableLights();
    EXPECT_EQ(device->countCalls("SetLight"), 0u);
    EXPECT_EQ(scene->lights().size(), 2u);
}

TEST_F(LightTest, ControlFields)
{
    Light& l = light("l");
    const struct {
        const char* name;
        float* field;
    } fields[] = {{"Intensity", &l.intensity},
                  {"Shadow Multiplier", &l.intensity},
                  {"ColorR", &l.colour.r},
                  {"ColorG", &l.colour.g},
                  {"ColorB", &l.colour.b},
                  {"ColorA", &l.colour.a},
                  {"Shadow ColorR", &l.shadowColour.r},
                  {"Shadow ColorG", &l.shadowColour.g},
                  {"Shadow ColorB", &l.shadowColour.b},
                  {"Shadow ColorA", &l.shadowColour.a},
                  {"VISTRACK", &l.visibility}};
    for (const auto& f : fields) EXPECT_EQ(l.controlField(f.name), f.field) << f.name;
    EXPECT_EXIT(WITH_REAL_SHELL(l.controlField("intensity")), ::testing::ExitedWithCode(0),
                "Error: Group: Invalid control field!");
}

} // namespace
