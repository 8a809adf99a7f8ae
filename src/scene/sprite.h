// A point sprite at its node's origin: the texture it shows, its animatable size ("Size")
// and whether the glow pass leaves it out. How it is drawn belongs to the processors.
#pragma once

#include "scene/base.h"
#include "scene/object_ref.h"
#include "scene/preparable.h"

class Group;
class Texture;

class Sprite : public Preparable, public Base {
public:
    Sprite(SceneGraph& scene, int id);

    void refresh(bool) override {}
    // "Size" only; any other name ends the program with its message.
    float* controlField(const std::string& name) override;

    Texture* texture();
    int textureId() const { return texture_.id(); }
    void setTextureId(int id) { texture_.setId(id); }

    Group* node = nullptr;
    float size = 0.0f;
    bool glowExclusion = false;

private:
    ObjectRef<Texture> texture_;
};
