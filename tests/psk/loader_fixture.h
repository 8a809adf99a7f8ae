// A scene on the recording device with a PSK loader whose files come from memory, and small
// record builders for the files the loader tests write.
#pragma once

#include "platform/d3d9/recording/recording_device.h"
#include "platform/shell/shell.h"
#include "psk/psk_scene_loader.h"
#include "psk/psk_writer.h"
#include "scene/group.h"
#include "scene/scene_graph.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

inline PskNodeRecord nodeRecord(const std::string& name, std::int32_t parent = -1, const std::string& properties = "")
{
    PskNodeRecord node;
    node.name = name;
    node.parent = parent;
    node.properties = properties;
    return node;
}

inline PskGroup groupRecord(const std::string& name, std::int32_t parent = -1, const std::string& properties = "")
{
    return PskGroup{nodeRecord(name, parent, properties)};
}

class LoaderTest : public ::testing::Test {
protected:
    RecordingDevice* device = new RecordingDevice(64, 64, D3DFMT_X8R8G8B8);
    std::unique_ptr<SceneGraph> scene = std::make_unique<SceneGraph>(device);
    std::map<std::string, std::vector<std::uint8_t>> files;

    void TearDown() override
    {
        scene.reset();
        device->Release();
    }

    // A top-level load of files[name]; a name not in `files` ends the program as a missing
    // file does.
    PSKSceneLoader& load(const std::string& name)
    {
        PSKSceneLoader& loader = scene->create<PSKSceneLoader>(scene->nextId());
        loader.setFileReader([this](const std::string& file) {
            const auto found = files.find(file);
            if (found == files.end())
                failWithMessage("Error", "Couldn't open file: " + file, 0);
            return found->second;
        });
        loader.load(name);
        return loader;
    }

    // The registered object named `name` of type T (nodes only), or null.
    template <typename T>
    T* named(const std::string& name) const
    {
        for (int id = 0; id < 4096; ++id) {
            if (auto* node = dynamic_cast<T*>(scene->findById(id)); node && node->name == name)
                return node;
        }
        return nullptr;
    }

    template <typename T>
    T* byId(int id) const
    {
        return dynamic_cast<T*>(scene->findById(id));
    }
};

// Death tests run the real shell: without a display its boxes go to standard error.
#define WITH_REAL_SHELL(statement) \
    do {                           \
        setShell(nullptr);         \
        statement;                 \
    } while (false)
