// Cameras, lights, materials, textures, sprites and sub-meshes as the loader builds them; the
// texture chunk's ".seq" rule against a real folder and archive.
#include "loader_fixture.h"

#include "archive/container_writer.h"
#include "archive/archive_access.h"
#include "archive/resource_archive.h"
#include "d3dx/picture_fixtures.h"
#include "scene/animated_texture.h"
#include "scene/camera.h"
#include "scene/light.h"
#include "scene/material.h"
#include "scene/mesh.h"
#include "scene/sprite.h"
#include "scene/sub_mesh.h"

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

TEST_F(LoaderTest, CameraFieldsWithTheNearPlaneFix)
{
    files["c.psk"] = PskWriter()
                         .chunk(1, 0, PskCamera{nodeRecord("Wide"), 1.2f, 0.5f, 800.0f, std::nullopt})
                         .chunk(1, 1, PskCamera{nodeRecord("Close"), 0.7f, 0.0f, 2000.0f, std::nullopt})
                         .bytes();
    load("c.psk");
    Camera* wide = named<Camera>("Wide");
    Camera* close = named<Camera>("Close");
    ASSERT_TRUE(wide && close);
    EXPECT_EQ(wide->fieldOfView, 1.2f);
    EXPECT_EQ(wide->nearDistance, 0.5f);
    EXPECT_EQ(wide->farDistance, 800.0f);
    EXPECT_EQ(wide->aspectRatio, 1.3333334f);
    EXPECT_EQ(close->nearDistance, 2000.0f * 0.00001f);
}

TEST_F(LoaderTest, LightFieldsAsStored)
{
    PskLight spot;
    spot.node = nodeRecord("Spot");
    spot.lightType = 2;
    spot.colour = PskColour::fromArgb(0x40FF8000u);
    spot.intensity = 1.5f;
    spot.attenuation = {1.0f, 0.5f, 0.25f};
    spot.range = 300.0f;
    spot.innerCone = 20.0f;
    spot.outerCone = 40.0f;
    spot.shadowColour = PskColour::fromArgb(0xFF000080u);
    files["l.psk"] = PskWriter().chunk(2, 0, spot).bytes();
    load("l.psk");
    Light* light = named<Light>("Spot");
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(light->type, D3DLIGHT_SPOT);
    EXPECT_EQ(light->colour.r, 1.0f);
    EXPECT_EQ(light->colour.g, 128.0f * (1.0f / 255.0f));
    EXPECT_EQ(light->colour.a, 64.0f * (1.0f / 255.0f));
    EXPECT_EQ(light->intensity, 1.5f);
    EXPECT_EQ(light->attenuation0, 1.0f);
    EXPECT_EQ(light->attenuation1, 0.5f);
    EXPECT_EQ(light->attenuation2, 0.25f);
    EXPECT_EQ(light->range, 300.0f);
    EXPECT_EQ(light->innerCone, 20.0f);
    EXPECT_EQ(light->outerCone, 40.0f);
    EXPECT_FALSE(light->castsShadow);
    EXPECT_FALSE(scene->stateCache().shadowLightFlag);
    EXPECT_EQ(light->shadowColour.b, 128.0f * (1.0f / 255.0f));
}

TEST_F(LoaderTest, MaterialVersionsAndTheirMaps)
{
    PskMaterial record;
    record.diffuse = PskColour::fromArgb(0xFFFF0000u);
    record.specular = PskColour::fromArgb(0x8000FF00u);
    record.ambient = PskColour::fromArgb(0x000000FFu);
    record.selfIllumination = PskColour::fromArgb(0xFF336699u);
    record.glossiness = 0.25f;
    record.specularLevel = 0.75f;
    record.blendMode = 1;
    record.opacity = 0.5f;
    record.diffuseMap = 20;
    record.lightMap = 21;
    record.additiveMap = 22;
    files["m.psk"] = PskWriter().chunk(1, 1, record).chunk(2, 2, record).bytes();
    PSKSceneLoader& loader = load("m.psk");
    auto* first = byId<Material>(loader.idForIndex(1));
    auto* second = byId<Material>(loader.idForIndex(2));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->diffuse.r, 1.0f);
    EXPECT_EQ(first->specular.a, 128.0f * (1.0f / 255.0f));
    EXPECT_EQ(first->ambient.b, 1.0f);
    EXPECT_EQ(first->selfIllumination, 0x33 * (1.0f / 255.0f));
    EXPECT_EQ(first->glossiness, 0.25f);
    EXPECT_EQ(first->specularLevel, 0.75f);
    EXPECT_EQ(first->blendMode, Material::kAdditive);
    EXPECT_EQ(first->opacity, 0.5f);
    EXPECT_EQ(first->mapId(TextureRole::Diffuse), loader.idForIndex(20));
    EXPECT_EQ(first->mapId(TextureRole::LightMap), loader.idForIndex(21));
    // Version 1 has no additive map; version 2 names one.
    EXPECT_EQ(first->mapId(TextureRole::Additive), -1);
    EXPECT_EQ(second->mapId(TextureRole::Additive), loader.idForIndex(22));
    // A map never defined in the file is absent when drawing.
    EXPECT_EQ(second->map(TextureRole::Diffuse), nullptr);
}

TEST_F(LoaderTest, SubMeshesAndSpritesJoinTheirOwners)
{
    PskMesh mesh{0, "Box", 2, 3, {{0, 7, 0xDEAD, 3, 0}, {3, 8, 0, 6, 0xFF}}};
    files["s.psk"] = PskWriter()
                         .chunk(1, 0, groupRecord("Holder"))
                         .chunk(1, 1, mesh)
                         .chunk(1, 4, PskSprite{0, 9, 12.5f, true})
                         .bytes();
    PSKSceneLoader& loader = load("s.psk");
    auto* built = byId<Mesh>(loader.idForIndex(1));
    ASSERT_NE(built, nullptr);
    ASSERT_EQ(built->subMeshes.size(), 2u);
    const SubMesh& second = *built->subMeshes[1];
    EXPECT_EQ(second.mesh, built);
    EXPECT_EQ(second.startIndex, 3u);
    EXPECT_EQ(second.indexCount, 6u);
    EXPECT_EQ(second.materialId(), loader.idForIndex(8));
    EXPECT_EQ(built->subMeshes[0]->materialId(), loader.idForIndex(7));
    EXPECT_NE(built->subMeshes[0]->id(), second.id());

    auto* sprite = byId<Sprite>(loader.idForIndex(4));
    Group* holder = named<Group>("Holder");
    ASSERT_TRUE(sprite && holder);
    EXPECT_EQ(holder->sprite, sprite);
    EXPECT_EQ(sprite->node, holder);
    EXPECT_EQ(sprite->textureId(), loader.idForIndex(9));
    EXPECT_EQ(sprite->size, 12.5f);
    EXPECT_TRUE(sprite->glowExclusion);
}

// The demo's folder: the current directory, with a picture and maybe a sequence text.
class TextureFolder : public LoaderTest {
protected:
    fs::path previous = fs::current_path();
    fs::path folder = fs::temp_directory_path() / ("psk_textures_" + std::to_string(::getpid()));
    ResourceArchive archive;

    void SetUp() override
    {
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::current_path(folder);
        writeBytes("wood.tga", encodeTga(solidPicture(4, 4, 4, 0xFF336699u)));
        files["t.psk"] = PskWriter().chunk(1, 3, PskTexture{"wood.tga"}).bytes();
    }
    void TearDown() override
    {
        setTheArchive(nullptr);
        fs::current_path(previous);
        fs::remove_all(folder);
        LoaderTest::TearDown();
    }
};

TEST_F(TextureFolder, SequenceTextOnTheDiskMakesAnAnimatedTexture)
{
    writeText("wood.seq", "images=2\ni0=wood.tga\ni1=wood.tga\n");
    PSKSceneLoader& loader = load("t.psk");
    auto* texture = byId<AnimatedTexture>(loader.idForIndex(3));
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->name, "wood.tga");
    EXPECT_EQ(texture->imageCount(), 2u);
}

TEST_F(TextureFolder, SequenceTextOnlyInTheArchiveLeavesAPlainTexture)
{
    const ContainerResult container = writeContainer({{"wood.seq", {'i', '=', '1'}, 0}}, 0);
    ASSERT_TRUE(container.error.empty());
    writeBytes((folder / "demo.cfl").string(), container.bytes);
    ASSERT_TRUE(archive.open((folder / "demo.cfl").string()));
    setTheArchive(&archive);
    PSKSceneLoader& loader = load("t.psk");
    Base* texture = scene->findById(loader.idForIndex(3));
    ASSERT_NE(dynamic_cast<Texture*>(texture), nullptr);
    EXPECT_EQ(dynamic_cast<AnimatedTexture*>(texture), nullptr);
    EXPECT_EQ(static_cast<Texture*>(texture)->name, "wood.tga");
    EXPECT_NE(static_cast<Texture*>(texture)->deviceTexture(), nullptr);
}

TEST_F(TextureFolder, AFolderNamedLikeTheSequenceIsNoSequence)
{
    fs::create_directory("wood.seq");
    PSKSceneLoader& loader = load("t.psk");
    Base* texture = scene->findById(loader.idForIndex(3));
    EXPECT_NE(dynamic_cast<Texture*>(texture), nullptr);
    EXPECT_EQ(dynamic_cast<AnimatedTexture*>(texture), nullptr);
}

} // namespace
