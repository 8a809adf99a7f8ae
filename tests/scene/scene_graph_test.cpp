// The scene: ids and lookup, registration and destruction order, the active camera, prepare's
// steps, and what animate and render do (and do not do) before and after loading.
#include "scene_fixture.h"

#include "scene/controller.h"
#include "scene/light.h"
#include "scene/mesh.h"

namespace {

// Writes its name into a log when destroyed.
class Tracked final : public Base {
public:
    Tracked(SceneGraph& scene, int id, std::vector<std::string>& log) : Base(scene, id), log_(log) {}
    ~Tracked() override { log_.push_back("object " + std::to_string(id())); }
    void link() override { log_.push_back("link " + std::to_string(id())); }

private:
    std::vector<std::string>& log_;
};

class TrackedController final : public Controller {
public:
    TrackedController(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}
    ~TrackedController() override { log_.push_back("controller " + name_); }
    void evaluate(float time) override { log_.push_back(name_ + " at " + std::to_string(static_cast<int>(time))); }

private:
    std::string name_;
    std::vector<std::string>& log_;
};

class CountingLight final : public Light {
public:
    CountingLight(SceneGraph& scene, int id, int& updates) : Light(scene, id), updates_(updates) {}
    void clearSet() { set_ = false; }

protected:
    void updateDevice() override { ++updates_; }

private:
    int& updates_;
};

class SceneGraphTest : public SceneTest {
protected:
    // Outlives the scene, which is destroyed in TearDown.
    std::vector<std::string> order;
};

TEST_F(SceneGraphTest, IdsCountUpAndLookupFindsTheFirstRegisteredMatch)
{
    EXPECT_EQ(scene->nextId(), 0);
    EXPECT_EQ(scene->nextId(), 1);
    Group& first = scene->create<Group>(7);
    scene->create<Group>(7);
    Group& other = scene->create<Group>(3);
    EXPECT_EQ(scene->findById(7), &first);
    EXPECT_EQ(scene->findById(3), &other);
    EXPECT_EQ(scene->findById(4), nullptr);
    EXPECT_EQ(scene->findById(-1), nullptr);
    scene->create<Group>(-1);
    EXPECT_EQ(scene->findById(-1), nullptr);
}

TEST_F(SceneGraphTest, DestructionDeletesObjectsInOrderThenControllers)
{
    scene->create<Tracked>(5, order);
    scene->addController(std::make_unique<TrackedController>("a", order));
    scene->create<Tracked>(2, order);
    scene->addController(std::make_unique<TrackedController>("b", order));
    scene.reset();
    EXPECT_EQ(order, (std::vector<std::string>{"object 5", "object 2", "controller a", "controller b"}));
}

TEST_F(SceneGraphTest, ActiveCameraByPointerAndByExactName)
{
    Camera& front = camera("Front");
    Camera& side = camera("Side");
    scene->prepare();
    EXPECT_EQ(scene->activeCamera(), &front);
    EXPECT_TRUE(front.isActive());

    for (const char* miss : {"side", "Side ", "", "Back"}) {
        scene->setActiveCameraByName(miss);
        EXPECT_EQ(scene->activeCamera(), &front) << miss;
    }
    scene->setActiveCameraByName("Side");
    EXPECT_EQ(scene->activeCamera(), &side);
    EXPECT_TRUE(side.isActive());
    EXPECT_FALSE(front.isActive());

    scene->setActiveCamera(nullptr);
    EXPECT_EQ(scene->activeCamera(), &side);
}

TEST_F(SceneGraphTest, PrepareLinksInOrderRefreshesAndCreatesThePassesOnce)
{
    scene->create<Tracked>(scene->nextId(), order);
    scene->create<Tracked>(scene->nextId(), order);
    Group& root = node("root");
    root.transform = at(1, 2, 3);
    scene->setRoot(&root);
    Group& sky = node("sky");
    sky.transform = at(0, 5, 0);
    scene->setSkybox(&sky);

    scene->prepare();
    scene->prepare();
    EXPECT_EQ(order, (std::vector<std::string>{"link 0", "link 1"}));
    order.clear();
    EXPECT_EQ(root.worldMatrix()._42, 2.0f);
    EXPECT_EQ(sky.worldMatrix()._42, 5.0f);
    ASSERT_EQ(scene->processors().size(), 2u);
    EXPECT_EQ(scene->plainProcessor(), scene->processors()[0]);
    EXPECT_EQ(scene->processors()[0]->id(), 4);
    EXPECT_EQ(scene->processors()[1]->id(), 5);
    EXPECT_EQ(scene->findById(5), scene->processors()[1]);
    EXPECT_TRUE(scene->prepared());
}

TEST_F(SceneGraphTest, PrepareCombinesTheSceneFlagsOnlyWhenAllThreeAreSet)
{
    struct Case {
        bool shadow, a, b, combined;
    };
    for (const Case& c : {Case{true, true, true, true}, Case{false, true, true, false}, Case{true, false, true, false},
                          Case{true, true, false, false}}) {
        SceneGraph flagged(device);
        flagged.stateCache().shadowLightFlag = c.shadow;
        flagged.stateCache().meshFlagA = c.a;
        flagged.stateCache().meshFlagB = c.b;
        flagged.prepare();
        EXPECT_EQ(flagged.stateCache().combinedSceneFlag, c.combined);
        EXPECT_TRUE(flagged.processors().empty());
    }
}

TEST_F(SceneGraphTest, AnimateAndRenderDoNothingUntilLoaded)
{
    scene->addController(std::make_unique<TrackedController>("c", order));
    scene->setRoot(&node("root"));
    camera("cam");
    scene->prepare();
    scene->stateCache().glowPass = true;
    scene->animate(10.0f);
    scene->render();
    EXPECT_TRUE(order.empty());
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(scene->stateCache().glowPass);

    scene->setLoaded(true);
    scene->animate(10.0f);
    scene->render();
    EXPECT_EQ(order, std::vector<std::string>{"c at 10"});
    EXPECT_FALSE(scene->stateCache().glowPass);
    order.clear();
}

TEST_F(SceneGraphTest, RenderStartsEveryPassThenTraversesOncePerPass)
{
    Group& root = node("root");
    node("child", root.id());
    scene->setRoot(&root);
    // An unturned camera looks along −y: from +y it sees the nodes at the origin.
    camera("cam").transform = at(0, 10, 0);
    scene->setLoaded(true);
    scene->prepare();
    scene->render();
    EXPECT_EQ(log, (std::vector<std::string>{"plain.beginFrame", "glow.beginFrame", "plain.beginPass",
                                              "plain.submit root", "plain.submit child", "plain.endPass",
                                              "glow.beginPass", "glow.submit root", "glow.submit child",
                                              "glow.endPass"}));
}

TEST_F(SceneGraphTest, RenderWithoutACameraDrawsNothing)
{
    scene->setRoot(&node("root"));
    scene->setLoaded(true);
    scene->prepare();
    scene->stateCache().glowPass = true;
    scene->render();
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(scene->stateCache().glowPass);
    EXPECT_EQ(scene->activeCamera(), nullptr);
}

TEST_F(SceneGraphTest, ACameraOrLightDestroyedOnItsOwnLeavesTheSceneLists)
{
    {
        int updates = 0;
        CountingLight light(*scene, 50, updates);
        Camera cam(*scene, 51);
        light.link();
        cam.link();
        ASSERT_EQ(scene->lights().size(), 1u);
        ASSERT_EQ(scene->cameras().size(), 1u);
        EXPECT_EQ(scene->activeCamera(), &cam);

        // enableLights only reaches a light whose set flag was cleared, and only once.
        scene->enableLights();
        EXPECT_EQ(updates, 0);
        light.clearSet();
        scene->enableLights();
        scene->enableLights();
        EXPECT_EQ(updates, 1);
    }
    EXPECT_TRUE(scene->lights().empty());
    EXPECT_TRUE(scene->cameras().empty());
    EXPECT_EQ(scene->activeCamera(), nullptr);
}

TEST_F(SceneGraphTest, AMeshHasNoControlFields)
{
    Mesh& mesh = scene->create<Mesh>(scene->nextId());
    EXPECT_EXIT(WITH_REAL_SHELL(mesh.controlField("OPACITY")), ::testing::ExitedWithCode(0),
                "Error: Mesh: Invalid control field!");
}

} // namespace
