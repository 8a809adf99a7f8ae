#include "psk/scene_loader.h"

#include "archive/read_whole_file.h"
#include "scene/scene_graph.h"

SceneLoader::SceneLoader(SceneGraph& scene, int id) : Base(scene, id), reader_(readWholeFile) {}

void SceneLoader::load(const std::string& file)
{
    loadFile(file, -1, 0.0f, 1.0f, true);
    scene().setLoaded(true);
}

void SceneLoader::loadFile(const std::string& file, int parentId, float timeOffset, float timeScale, bool looping)
{
    std::vector<std::uint8_t> data = reader_(file);
    fileName_ = file;
    parseScene(data.data(), data.size(), parentId, timeOffset, timeScale, looping);
}
