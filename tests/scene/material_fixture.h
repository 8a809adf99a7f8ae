// Scenes with real picture files: a scratch folder made current, PNG files of the three
// decoded formats (opaque RGB, RGBA, grey), textures loaded from them and materials that use
// them, on the recording device. The scripted shell turns fatal messages into exceptions.
#pragma once

#include "archive/archive_test_support.h"
#include "picture_fixtures.h"
#include "platform/shell/scripted_shell.h"
#include "scene/material.h"
#include "scene/texture.h"
#include "scene_fixture.h"

#include <string>

class MaterialSceneTest : public SceneTest {
protected:
    ScratchFolder folder;
    ScriptedShell testShell;

    void SetUp() override
    {
        folder.enter();
        setShell(&testShell);
        writePicture("opaque.png", 3);
        writePicture("alpha.png", 4);
        writePicture("grey.png", 1);
    }
    void TearDown() override
    {
        setShell(nullptr);
        SceneTest::TearDown();
    }

    static void writePicture(const std::string& name, unsigned channels, unsigned seed = 0)
    {
        writeBytes(name, encodePng(patternPicture(4, 4, channels, seed)));
    }
    Texture& texture(const std::string& file)
    {
        Texture& created = scene->create<Texture>(scene->nextId());
        created.name = file;
        created.load(file);
        return created;
    }
    // Opacity 1, blend mode 0, no maps: the loader's defaults before it fills the fields.
    Material& material()
    {
        Material& created = scene->create<Material>(scene->nextId());
        created.diffuse = {0.8f, 0.6f, 0.4f, 1.0f};
        created.ambient = {0.2f, 0.2f, 0.2f, 1.0f};
        created.specular = {1.0f, 0.5f, 0.25f, 1.0f};
        return created;
    }
    DWORD state(D3DRENDERSTATETYPE s) const { return device->renderState(s); }
    DWORD stage(DWORD n, D3DTEXTURESTAGESTATETYPE t) const { return device->stageState(n, t); }
    DWORD sampler(DWORD n, D3DSAMPLERSTATETYPE t) const { return device->samplerState(n, t); }
};
