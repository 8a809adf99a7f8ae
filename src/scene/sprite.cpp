#include "scene/sprite.h"

#include "platform/shell/shell.h"
#include "scene/texture.h"

Sprite::Sprite(SceneGraph& scene, int id) : Base(scene, id) {}

float* Sprite::controlField(const std::string& name)
{
    if (name == "Size") return &size;
    failWithMessage("Error", "Sprite: Invalid control field!", 0);
}

Texture* Sprite::texture() { return texture_.resolve(scene()); }
