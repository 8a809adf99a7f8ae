// Anything a controller can animate: it names its animatable floats (control fields), reads
// its keyframe tracks from its properties, and re-derives its state after a value changed.
#pragma once

#include <string>

class Configuration;
class SceneGraph;

class Preparable {
public:
    virtual ~Preparable() = default;
    // transformChanged: matrices and bounds must be recomputed, not only derived values.
    virtual void refresh(bool transformChanged) = 0;
    // The float a controller writes for `name` (exact, case-sensitive). Unknown names report
    // in the class's own way; a null result means there is nothing to write.
    virtual float* controlField(const std::string& name) = 0;
    // Creates the keyframe tracks of "animations" / "a%d.*" and appends them to the scene.
    void readAnimations(SceneGraph& scene, const Configuration& properties, float timeOffset, float timeScale);
};
