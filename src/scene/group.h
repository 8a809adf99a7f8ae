// A transform node: its Transform, a parent named by id, local and world matrices, the
// squared radius of a sphere about its world position that covers its subtree, and the
// frustum-culled traversal that hands visible nodes to a render processor.
// A Group does not own its children, mesh or sprite: the scene owns every object.
#pragma once

#include "platform/d3dx/d3dx_math.h"
#include "scene/base.h"
#include "scene/configuration.h"
#include "scene/object_ref.h"
#include "scene/preparable.h"
#include "scene/transform.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class Mesh;
class Processor;
class Sprite;

class Group : public Preparable, public Base {
public:
    Group(SceneGraph& scene, int id);

    // Deeper trees are cut here: refresh and collect recurse once per level.
    static constexpr std::size_t kMaxDepth = 4096;

    // Attaches the node to its parent's children. A parent that names no node, one that would
    // close a loop of parents, or one already kMaxDepth levels deep leaves the node without a
    // parent (so outside the tree).
    void link() override;
    // With true: local and world matrices, then the subtree, then the bounds. False: nothing.
    void refresh(bool transformChanged) override;
    // "VISTRACK" is the visibility; any other name ends the program with its message.
    float* controlField(const std::string& name) override;
    // Pre-order: a node whose sphere is outside the active camera's frustum skips its subtree.
    virtual void collect(Processor& processor);

    int parentId() const { return parent_.id(); }
    void setParentId(int id) { parent_.setId(id); }
    Group* parent() { return parent_.resolve(scene()); }

    const D3DXMATRIX& localMatrix() const { return local_; }
    const D3DXMATRIX& worldMatrix() const { return world_; }
    // The skybox pass moves the skybox's world translation onto the camera.
    D3DXMATRIX& worldMatrix() { return world_; }
    D3DXVECTOR3 centre() const { return {world_._41, world_._42, world_._43}; }
    float boundingRadiusSquared() const { return radiusSquared_; }
    const std::vector<Group*>& children() const { return children_; }

    // Filled by the scene loader.
    Transform transform;
    std::string name;
    std::string propertyText;
    Configuration properties;
    Mesh* mesh = nullptr;
    Sprite* sprite = nullptr;
    // Processors draw the node only while this is above 0.5.
    float visibility = 1.0f;
    std::uint8_t flagA = 0;
    std::uint8_t flagB = 0;

private:
    // Whether `child` may hang below this node: no loop, and not too deep.
    bool canAdopt(Group* child);

    ObjectRef<Group> parent_;
    D3DXMATRIX local_;
    // The transform local_ was made from: a parent's animation refreshes every node below it,
    // while most of them keep their own placement.
    Transform localFrom_;
    bool localKnown_ = false;
    D3DXMATRIX world_;
    float radiusSquared_ = 0.0f;
    std::vector<Group*> children_;
};
