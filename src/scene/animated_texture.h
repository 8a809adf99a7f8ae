// A texture that flips between several pictures by an animatable frame index. The pictures
// are named by an image-sequence text ("images" = count, "i0", "i1", ...); without a count it
// shows the picture of its own name. The same text carries its keyframe tracks.
#pragma once

#include "scene/configuration.h"
#include "scene/preparable.h"
#include "scene/texture.h"

#include <string_view>
#include <vector>

class AnimatedTexture : public Texture, public Preparable {
public:
    AnimatedTexture(SceneGraph& scene, int id);

    // Parses `sequenceText`, loads the pictures it names (see the .cpp for counts that are
    // negative, too large, or name keys that are missing), shows the first and reads the
    // keyframe tracks with the loader's time base.
    void loadImages(std::string_view sequenceText, float timeOffset, float timeScale);
    // Shows the picture the active image names (truncated, wrapped into the list).
    void refresh(bool transformChanged) override;
    // "Active Image" and the four "Tex U/V Offset/Scale"; other names report without ending
    // the program and give no field.
    float* controlField(const std::string& name) override;
    void selectImage(int index);

    std::size_t imageCount() const { return images_.size(); }
    int currentImage() const { return currentImage_; }
    const Configuration& properties() const { return properties_; }

    float activeImage = 0.0f;

private:
    std::vector<IDirect3DTexture9*> images_;
    int currentImage_ = 0;
    Configuration properties_;
};
