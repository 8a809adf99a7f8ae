// One picture on the device and how it is laid on a surface: the device texture (shared by
// file name through the state cache, never released here), whether it has alpha, its
// texture-coordinate offset and scale, and binding to the next free stage in one of the five
// roles a material uses.
#pragma once

#include "platform/d3d9/d3d9.h"
#include "platform/d3dx/d3dx_math.h"
#include "scene/base.h"

#include <string>

// The material map roles; the value is the role number scene data and bind use.
enum class TextureRole : int {
    Diffuse = 0,
    SphereReflection = 1,
    Specular = 3,
    Additive = 4,
    LightMap = 5,
};

class Texture : public Base {
public:
    Texture(SceneGraph& scene, int id);

    // Through the state cache's texture cache: the disk first, then the archive. A file that
    // cannot be read or decoded, or a format other than A8R8G8B8, X8R8G8B8 and L8, ends the
    // program with its message.
    virtual void load(const std::string& fileName);
    // Binds to stage `stage` in `role` and advances it; at the device's stage count, nothing.
    virtual void bind(DWORD& stage, TextureRole role);
    virtual bool hasAlpha() const { return hasAlpha_; }

    IDirect3DTexture9* deviceTexture() const { return deviceTexture_; }
    DWORD maxStages() const { return maxStages_; }
    // Centred on (0.5, 0.5): scaled, then moved by minus the U offset and plus the V offset.
    D3DXMATRIX coordinateMatrix() const;

    // "not loaded" until the loader names the file.
    std::string name = "not loaded";
    float uScale = 1.0f;
    float vScale = 1.0f;
    float uOffset = 0.0f;
    float vOffset = 0.0f;

protected:
    // Makes `texture` the one drawn and takes has-alpha from its format.
    void show(IDirect3DTexture9* texture);

    IDirect3DTexture9* deviceTexture_ = nullptr;
    bool hasAlpha_ = false;

private:
    DWORD maxStages_ = 0;
};
