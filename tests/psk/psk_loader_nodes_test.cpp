// Node records as the loader builds them: roots, parents by index, versions, clamping, the
// skybox, nested scenes on a composed time base and the index map.
#include "loader_fixture.h"

#include "scene/camera.h"
#include "scene/camera_activator_controller.h"
#include "scene/prs_controller.h"

namespace {

TEST_F(LoaderTest, TopLevelGroupsTheLastOfWhichIsTheRoot)
{
    files["one.psk"] = PskWriter().chunk(1, 0, groupRecord("Only")).bytes();
    load("one.psk");
    Group* only = named<Group>("Only");
    ASSERT_NE(only, nullptr);
    EXPECT_EQ(scene->root(), only);
    EXPECT_EQ(only->parentId(), -1);
    EXPECT_TRUE(scene->loaded());

    scene = std::make_unique<SceneGraph>(device);
    files["two.psk"] = PskWriter().chunk(1, 0, groupRecord("First")).chunk(1, 1, groupRecord("Second")).bytes();
    load("two.psk");
    ASSERT_NE(named<Group>("First"), nullptr);
    EXPECT_EQ(scene->root(), named<Group>("Second"));
    scene->prepare();
    EXPECT_TRUE(named<Group>("Second")->children().empty());
}

TEST_F(LoaderTest, ParentReferencedBeforeItsChunkGetsTheSameId)
{
    // The child (index 5) names index 9 before index 9's chunk exists.
    files["s.psk"] = PskWriter().chunk(1, 5, groupRecord("Child", 9)).chunk(1, 9, groupRecord("Parent")).bytes();
    PSKSceneLoader& loader = load("s.psk");
    Group* child = named<Group>("Child");
    Group* parent = named<Group>("Parent");
    ASSERT_TRUE(child && parent);
    EXPECT_EQ(child->parentId(), parent->id());
    EXPECT_EQ(loader.idForIndex(9), parent->id());
    EXPECT_EQ(loader.idForIndex(5), child->id());
    scene->prepare();
    ASSERT_EQ(parent->children().size(), 1u);
    EXPECT_EQ(parent->children()[0], child);
}

TEST_F(LoaderTest, NodeFieldsAndVisibilityByVersion)
{
    struct Case {
        std::uint16_t type, version;
        std::optional<float> stored;
        float expected;
    };
    const Case cases[] = {
        {2, 1, std::nullopt, 1.0f}, {2, 2, 0.4f, 0.4f},  {2, 2, 1.7f, 1.0f},         {2, 2, -0.2f, 0.0f},
        {4, 2, std::nullopt, 1.0f}, {4, 3, 1.7f, 1.0f},  {5, 1, std::nullopt, 1.0f}, {5, 2, -0.2f, 0.0f},
    };
    for (const Case& c : cases) {
        scene = std::make_unique<SceneGraph>(device);
        PskNodeRecord node = nodeRecord("N", -1, "Glow = 1");
        node.transform = {{1, 2, 3}, {0, 0.6f, 0, 0.8f}, {2, 2, 2}};
        node.flagB = true;
        node.visibility = c.stored;
        PskWriter writer;
        if (c.type == 2) writer.chunk(c.version, 0, PskGroup{node});
        if (c.type == 4) writer.chunk(c.version, 0, PskCamera{node, 1.0f, 1.0f, 100.0f, std::nullopt});
        if (c.type == 5) {
            PskLight light;
            light.node = node;
            writer.chunk(c.version, 0, light);
        }
        files["n.psk"] = writer.bytes();
        load("n.psk");
        Group* loaded = named<Group>("N");
        ASSERT_NE(loaded, nullptr) << c.type;
        EXPECT_FLOAT_EQ(loaded->visibility, c.expected) << "type " << c.type << " v" << c.version;
        EXPECT_EQ(loaded->properties.getInt("glow"), 1);
        EXPECT_EQ(loaded->flagA, 0);
        EXPECT_EQ(loaded->flagB, 1);
        EXPECT_EQ(loaded->transform.position.y, 2.0f);
        EXPECT_EQ(loaded->transform.rotation.w, 0.8f);
        EXPECT_EQ(loaded->transform.scale.z, 2.0f);
    }
}

TEST_F(LoaderTest, CameraSwitchListFromVersionTwoOnTimedOnTheFileBase)
{
    PskCamera cut{nodeRecord("Cut"), 1.0f, 1.0f, 100.0f, PskCameraSwitches{{5000, 1000}, 7, 10000}};
    files["v2.psk"] = PskWriter().chunk(2, 0, cut).bytes();
    load("v2.psk");
    ASSERT_EQ(scene->controllerCount(), 1u);

    scene = std::make_unique<SceneGraph>(device);
    files["v1.psk"] = PskWriter().chunk(1, 0, cut).bytes();
    load("v1.psk");
    EXPECT_EQ(scene->controllerCount(), 0u);

    scene = std::make_unique<SceneGraph>(device);
    cut.switches = PskCameraSwitches{};
    files["none.psk"] = PskWriter().chunk(3, 0, cut).bytes();
    load("none.psk");
    EXPECT_EQ(scene->controllerCount(), 0u);
}

TEST_F(LoaderTest, SkyboxLeavesTheTreeWhateverItsFileParent)
{
    files["s.psk"] = PskWriter().chunk(1, 0, groupRecord("World")).chunk(1, 1, groupRecord("Sky", 0, "SkyBox=1")).bytes();
    load("s.psk");
    Group* sky = named<Group>("Sky");
    ASSERT_NE(sky, nullptr);
    EXPECT_EQ(scene->skybox(), sky);
    EXPECT_EQ(sky->parentId(), -1);
    EXPECT_EQ(scene->root(), named<Group>("World"));
}

TEST_F(LoaderTest, AmbientColourAndTheShadowFlag)
{
    PskLight lamp;
    lamp.node = nodeRecord("Lamp");
    lamp.castsShadow = true;
    files["a.psk"] = PskWriter().chunk(1, 0, PskAmbient{PskColour::fromArgb(0x80FF3300u)}).chunk(2, 1, lamp).bytes();
    load("a.psk");
    EXPECT_EQ(scene->ambient.red, 1.0f);
    EXPECT_EQ(scene->ambient.green, 51.0f * (1.0f / 255.0f));
    EXPECT_EQ(scene->ambient.blue, 0.0f);
    EXPECT_EQ(scene->ambient.alpha, 128.0f * (1.0f / 255.0f));
    EXPECT_TRUE(scene->stateCache().shadowLightFlag);
}

// A track in the nested file running from stored time 50 to 60, loaded below a node with
// these properties.
struct NestingCase {
    const char* label;
    std::string outerProperties;
    std::string middleProperties; // empty: the outer node names the leaf directly
    float start, end;             // on the scene's time base
};

class NestedScene : public LoaderTest, public ::testing::WithParamInterface<NestingCase> {};

TEST_P(NestedScene, TracksRunOnTheComposedTimeBase)
{
    const NestingCase& c = GetParam();
    PskTransformSample first, second;
    first.position = {1, 0, 0};
    second.position = {3, 0, 0};
    PskTransformTrack track{0, {0, 0, 50, 60}, kPskTrackPosition, {first, second}};
    files["leaf.psk"] = PskWriter().chunk(1, 0, groupRecord("Leaf")).chunk(1, 0, track).bytes();
    files["middle.psk"] = PskWriter().chunk(1, 0, groupRecord("Middle", -1, c.middleProperties)).bytes();
    files["outer.psk"] = PskWriter().chunk(1, 0, groupRecord("Outer", -1, c.outerProperties)).bytes();
    load("outer.psk");

    Group* outer = named<Group>("Outer");
    Group* leaf = named<Group>("Leaf");
    ASSERT_TRUE(outer && leaf);
    EXPECT_EQ(scene->root(), outer);
    Group* leafParent = c.middleProperties.empty() ? outer : named<Group>("Middle");
    ASSERT_NE(leafParent, nullptr);
    EXPECT_EQ(leaf->parentId(), leafParent->id());
    // Index 0 of each file is its own node: every file has its own index map.
    EXPECT_NE(leaf->id(), outer->id());

    ASSERT_EQ(scene->controllerCount(), 1u);
    scene->prepare();
    const std::pair<float, float> expected[] = {
        {c.start - 0.5f, 1.0f}, {(c.start + c.end) / 2, 2.0f}, {c.end + 0.5f, 3.0f}};
    for (const auto& [time, x] : expected) {
        scene->animate(time);
        EXPECT_FLOAT_EQ(leaf->transform.position.x, x) << c.label << " at " << time;
    }
}

const NestingCase nestingCases[] = {
    {"offset 100 scale 2: 50 becomes 200", "loader=1\nfilename=leaf.psk\nanimoffset=100\nanimscale=2", "", 200, 220},
    {"no animscale: scale 1", "loader=1\nfilename=leaf.psk\nanimoffset=100", "", 150, 160},
    {"LOADER in capitals", "LOADER=x\nFileName=leaf.psk\nAnimScale=3", "", 150, 180},
    {"nested twice: offsets add, scales multiply", "loader=1\nfilename=middle.psk\nanimoffset=100\nanimscale=2",
     "loader=1\nfilename=leaf.psk\nanimoffset=10\nanimscale=3", 410, 470},
};
INSTANTIATE_TEST_SUITE_P(Loader, NestedScene, ::testing::ValuesIn(nestingCases));

TEST_F(LoaderTest, NestedLoadersCarryTheirTimeBaseAndTheirOwnLooping)
{
    files["leaf.psk"] = PskWriter().chunk(1, 0, groupRecord("Leaf")).bytes();
    files["mid.psk"] = PskWriter().chunk(1, 0, groupRecord("Mid", -1, "loader=1\nfilename=leaf.psk\nanimoffset=10\nanimscale=3\nlooping=1")).bytes();
    files["top.psk"] = PskWriter().chunk(1, 0, groupRecord("Top", -1, "loader=1\nfilename=mid.psk\nanimoffset=100\nanimscale=2")).bytes();
    PSKSceneLoader& top = load("top.psk");
    EXPECT_EQ(top.timeOffset(), 0.0f);
    // The loaders sit in the scene in creation order: top, mid's, leaf's.
    std::vector<PSKSceneLoader*> loaders;
    for (int id = 0; id < 64; ++id)
        if (auto* loader = byId<PSKSceneLoader>(id)) loaders.push_back(loader);
    ASSERT_EQ(loaders.size(), 3u);
    EXPECT_EQ(loaders[1]->timeOffset(), 100.0f);
    EXPECT_EQ(loaders[1]->timeScale(), 2.0f);
    EXPECT_FALSE(loaders[1]->looping());
    EXPECT_EQ(loaders[2]->timeOffset(), 110.0f);
    EXPECT_EQ(loaders[2]->timeScale(), 6.0f);
    EXPECT_TRUE(loaders[2]->looping());
    EXPECT_EQ(loaders[2]->parentId(), named<Group>("Mid")->id());
    EXPECT_EQ(loaders[2]->fileName(), "leaf.psk");
}

} // namespace
