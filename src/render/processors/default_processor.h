// The plain pass: collects the visible nodes' sub-meshes and sprites, then draws the skybox,
// the sub-meshes (opaque first, grouped by material, with repeated vertex formats and material
// applies left out) and the sprites as additive point sprites. With the state cache's glow
// flag raised the same steps draw the glow source (black ambient, glow-excluded sprites left
// out); the glow pass reuses them that way.
#pragma once

#include "platform/d3d9/d3d9.h"
#include "scene/processor.h"

#include <cstdint>
#include <vector>

class Material;
class Sprite;
class SubMesh;

class DefaultProcessor : public Processor {
public:
    DefaultProcessor(SceneGraph& scene, int id);

    // Empties both lists.
    void beginPass() override;
    // Nodes whose visibility is not above 0.5 add nothing.
    void submit(Group& node) override;
    void endPass() override;
    // The clip-space quad over the whole target, unlit and without depth; the view and
    // projection are put back afterwards. Nothing in the frame calls it.
    virtual void drawFullScreenQuad();

    struct SubMeshEntry {
        SubMesh* subMesh;
        // The node that submitted it: its visibility and world matrix are drawn with.
        Group* node;
        Material* material;
        bool blends;
        std::uint32_t materialId;
        // Blending after opaque, then by material id: the two compared as one number.
        std::uint64_t order() const { return std::uint64_t{blends} << 32 | materialId; }
    };
    struct SpriteEntry {
        Sprite* sprite;
        Group* node;
    };
    const std::vector<SubMeshEntry>& subMeshes() const { return subMeshes_; }
    const std::vector<SpriteEntry>& sprites() const { return sprites_; }

protected:
    // The scene drawing of endPass, for the plain and the glow pass alike.
    void drawScene();

private:
    // What this endPass last set, so repeats can be left out.
    struct LastSet {
        Material* material = nullptr;
        float visibility = 0.0f;
        DWORD vertexFormat = 0;
        bool formatSet = false;
    };

    void drawSkybox();
    void setLightingStates();
    void sortSubMeshes();
    void drawSubMeshes();
    void drawSprites();

    std::vector<SubMeshEntry> subMeshes_;
    std::vector<SpriteEntry> sprites_;
};
