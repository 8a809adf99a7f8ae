// A scene on the recording device, with a processor factory whose passes write what the scene
// asked of them into one log, and helpers to build nodes.
#pragma once

#include "platform/d3d9/recording/recording_device.h"
#include "platform/shell/shell.h"
#include "scene/camera.h"
#include "scene/group.h"
#include "scene/processor.h"
#include "scene/scene_graph.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class LoggingProcessor final : public Processor {
public:
    LoggingProcessor(SceneGraph& scene, int id, std::string name, std::vector<std::string>& log)
        : Processor(scene, id), name_(std::move(name)), log_(log)
    {
    }
    void beginFrame() override { log_.push_back(name_ + ".beginFrame"); }
    void beginPass() override { log_.push_back(name_ + ".beginPass"); }
    void endPass() override { log_.push_back(name_ + ".endPass"); }
    void submit(Group& node) override { log_.push_back(name_ + ".submit " + node.name); }

private:
    std::string name_;
    std::vector<std::string>& log_;
};

class LoggingProcessors final : public ProcessorFactory {
public:
    explicit LoggingProcessors(std::vector<std::string>& log) : log_(log) {}
    Processor& createDefault(SceneGraph& scene, int id) const override
    {
        return scene.create<LoggingProcessor>(id, "plain", log_);
    }
    Processor& createGlow(SceneGraph& scene, int id) const override
    {
        return scene.create<LoggingProcessor>(id, "glow", log_);
    }

private:
    std::vector<std::string>& log_;
};

class SceneTest : public ::testing::Test {
protected:
    std::vector<std::string> log;
    LoggingProcessors factory{log};
    RecordingDevice* device = new RecordingDevice(64, 64, D3DFMT_X8R8G8B8);
    std::unique_ptr<SceneGraph> scene = std::make_unique<SceneGraph>(device, &factory);

    void TearDown() override
    {
        scene.reset();
        device->Release();
    }

    Group& node(const std::string& name, int parentId = -1)
    {
        Group& group = scene->create<Group>(scene->nextId());
        group.name = name;
        group.setParentId(parentId);
        return group;
    }
    Camera& camera(const std::string& name, int parentId = -1)
    {
        Camera& created = scene->create<Camera>(scene->nextId());
        created.name = name;
        created.setParentId(parentId);
        return created;
    }
    Transform at(float x, float y, float z)
    {
        Transform transform;
        transform.position = D3DXVECTOR3(x, y, z);
        return transform;
    }
};

inline void expectMatrixNear(const D3DXMATRIX& actual, const D3DXMATRIX& expected, float tolerance = 1e-5f)
{
    for (unsigned row = 0; row < 4; ++row) {
        for (unsigned column = 0; column < 4; ++column) {
            EXPECT_NEAR(actual(row, column), expected(row, column), tolerance) << "at " << row << "," << column;
        }
    }
}

// Death tests run the real shell: without a display its boxes go to standard error.
#define WITH_REAL_SHELL(statement) \
    do {                           \
        setShell(nullptr);         \
        statement;                 \
    } while (false)
