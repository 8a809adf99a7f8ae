// The scene commands on real scene files: load fills (and replaces) a slot, play makes the
// scene current and prepares it, cameras switch by exact name, the current scene animates at
// scene time every frame, and free empties the slot.
#include "psk/psk_writer.h"
#include "scene/camera.h"
#include "scene/group.h"
#include "scene/scene_graph.h"
#include "scripter_fixture.h"

namespace {

PskNodeRecord node(const std::string& name, std::int32_t parent = -1)
{
    PskNodeRecord record;
    record.name = name;
    record.parent = parent;
    return record;
}

class SceneCommands : public ScripterTest {
protected:
    // Two cameras below the root, whose visibility runs from 0 at scene time 0 to 1 at 1000.
    std::string sceneFile(const std::string& name)
    {
        const std::vector<std::uint8_t> bytes =
            PskWriter()
                .chunk(1, 0, PskGroup{node("Stage")})
                .chunk(1, 1, PskCamera{node("Front", 0), 1.0f, 1.0f, 100.0f, std::nullopt})
                .chunk(1, 2, PskCamera{node("Back", 0), 1.0f, 1.0f, 100.0f, std::nullopt})
                .chunk(1, 0, PskFloatTrack{0, "VISTRACK", {0, 0, 0, 1000}, {0.0f, 1.0f}})
                .bytes();
        return contentFile(name, std::string(bytes.begin(), bytes.end()));
    }

    Group* stage() const
    {
        SceneGraph* scene = scripter->currentScene();
        return scene ? dynamic_cast<Group*>(scene->root()) : nullptr;
    }
};

TEST_F(SceneCommands, PlaySwitchCamerasSetTimeAndFree)
{
    load("loadscene " + sceneFile("stage.psk") + " Stage\nwaituntil 100\nplayscene stage\n"
         "setactivecamera back\nwaituntil 200\nsetactivecamera Back\nwaituntil 300\nsetscenetime 250\n"
         "waituntil 400\nfreescene stage\nwait 100000\n");
    EXPECT_FALSE(frameAt(50.0f));
    SceneGraph* loaded = scripter->findScene("stage");
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(loaded->loaded());
    EXPECT_FALSE(loaded->prepared());
    EXPECT_EQ(scripter->currentScene(), nullptr);

    // Played at script time 150: prepared, the first camera active, animated at scene time
    // 150 (playing does not move the scene clock). "back" matches no camera.
    EXPECT_FALSE(frameAt(150.0f));
    ASSERT_EQ(scripter->currentScene(), loaded);
    EXPECT_TRUE(loaded->prepared());
    ASSERT_NE(loaded->activeCamera(), nullptr);
    EXPECT_EQ(loaded->activeCamera()->name, "Front");
    ASSERT_NE(stage(), nullptr);
    EXPECT_FLOAT_EQ(stage()->visibility, 0.15f);

    EXPECT_FALSE(frameAt(250.0f));
    EXPECT_EQ(loaded->activeCamera()->name, "Back");
    EXPECT_FLOAT_EQ(stage()->visibility, 0.25f);

    // The scene clock reads 250 at script time 350, so 450 is scene time 350.
    EXPECT_FALSE(frameAt(350.0f));
    EXPECT_FLOAT_EQ(stage()->visibility, 0.25f);
    EXPECT_FALSE(frameAt(399.0f));
    EXPECT_FLOAT_EQ(stage()->visibility, 0.299f);

    EXPECT_FALSE(frameAt(450.0f));
    EXPECT_EQ(scripter->currentScene(), nullptr);
    EXPECT_EQ(scripter->findScene("stage"), nullptr);
}

TEST_F(SceneCommands, StopSceneKeepsTheSceneButStopsItsAnimation)
{
    load("loadscene " + sceneFile("stage.psk") + " a\nplayscene a\nwait 100\nstopscene\nwait 100000\n");
    EXPECT_FALSE(frameAt(500.0f));
    Group* root = scripter->findScene("a")->root();
    EXPECT_FLOAT_EQ(root->visibility, 0.5f);
    EXPECT_FALSE(frameAt(700.0f));
    EXPECT_EQ(scripter->currentScene(), nullptr);
    ASSERT_NE(scripter->findScene("a"), nullptr);
    EXPECT_FLOAT_EQ(root->visibility, 0.5f);
}

using SceneCommandsDeath = SceneCommands;

TEST_F(SceneCommandsDeath, DamagedSceneFileEndsTheProgramWhenItsLoadRuns)
{
    const std::string file = contentFile("broken.psk", "not a scene");
    load("loadscene " + file + " s\n");
    EXPECT_EXIT(WITH_REAL_SHELL(frameAt(0.0f)), ::testing::ExitedWithCode(0),
                literally("Error: Damaged scene file: " + file));
}

} // namespace
