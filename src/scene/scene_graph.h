// A loaded 3D scene: the Scripter's scene slots hold these. For now only the seam the script
// engine calls: load reads the scene file (a missing file ends the process) and keeps nothing;
// prepare, animate, render and camera selection do nothing until the scene graph itself lands.
#pragma once

#include <string>

class IDirect3DDevice9;

class SceneGraph {
public:
    explicit SceneGraph(IDirect3DDevice9* device) : device_(device) {}
    virtual ~SceneGraph() = default;
    SceneGraph(const SceneGraph&) = delete;
    SceneGraph& operator=(const SceneGraph&) = delete;

    void load(const std::string& file);
    void prepare();
    void animate(float sceneTimeMs);
    void render();
    // Exact, case-sensitive camera name; no match changes nothing.
    void setActiveCameraByName(const std::string& name);

    IDirect3DDevice9* device() const { return device_; }

private:
    IDirect3DDevice9* device_;
};
