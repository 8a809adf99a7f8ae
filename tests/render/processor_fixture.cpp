#include "render/processor_fixture.h"

#include <cstdlib>

Group& SceneBuilder::node(const std::string& name, float x, float y, float z)
{
    Group& created = scene_.create<Group>(scene_.nextId());
    created.name = name;
    created.transform.position = D3DXVECTOR3(x, y, z);
    if (root_ && &created != root_) created.setParentId(root_->id());
    return created;
}

Group& SceneBuilder::root()
{
    if (!root_) {
        root_ = &node("root", 0, 0, 0);
        scene_.setRoot(root_);
    }
    return *root_;
}

Camera& SceneBuilder::camera(const std::string& name)
{
    root();
    Camera& created = scene_.create<Camera>(scene_.nextId());
    created.name = name;
    created.setParentId(root_->id());
    created.nearDistance = 1.0f;
    created.farDistance = 100.0f;
    return created;
}

Material& SceneBuilder::material(int id, float opacity, float selfIllumination)
{
    Material& created = scene_.create<Material>(id);
    created.diffuse = {0.5f, 0.5f, 0.5f, 1.0f};
    created.ambient = {0.5f, 0.5f, 0.5f, 1.0f};
    created.opacity = opacity;
    created.selfIllumination = selfIllumination;
    return created;
}

QuadMesh SceneBuilder::quad(std::initializer_list<int> materialIds, float x, float z, float halfSize, float distance)
{
    root();
    QuadMesh made{};
    made.node = &node("quad", x, -distance, z);
    VertexBuffer& vertices = scene_.create<VertexBuffer>(scene_.nextId());
    const float s = halfSize;
    // x, y, z, normal, uv, uv: bottom-left, top-left, top-right, bottom-right as the camera sees.
    vertices.setVertices({-s, 0, -s, 0, 1, 0, 0, 1, 0, 1, -s, 0, s, 0, 1, 0, 0, 0, 0, 0,
                          s,  0, s,  0, 1, 0, 1, 0, 1, 0, s,  0, -s, 0, 1, 0, 1, 1, 1, 1});
    IndexBuffer& indices = scene_.create<IndexBuffer>(scene_.nextId());
    std::vector<std::uint16_t> list;
    for (std::size_t i = 0; i < materialIds.size(); ++i) list.insert(list.end(), {0, 1, 2, 0, 2, 3});
    indices.setIndices(list);
    made.mesh = &scene_.create<Mesh>(scene_.nextId());
    made.mesh->setVertexBufferId(vertices.id());
    made.mesh->setIndexBufferId(indices.id());
    made.mesh->node = made.node;
    made.node->mesh = made.mesh;
    std::uint32_t start = 0;
    for (int materialId : materialIds) {
        SubMesh& subMesh = scene_.create<SubMesh>(scene_.nextId());
        subMesh.mesh = made.mesh;
        subMesh.setMaterialId(materialId);
        subMesh.startIndex = start;
        subMesh.indexCount = 6;
        start += 6;
        made.mesh->subMeshes.push_back(&subMesh);
        made.subMeshes.push_back(&subMesh);
    }
    return made;
}

Sprite& SceneBuilder::sprite(int textureId, float size, bool glowExcluded, float x, float z)
{
    root();
    Group& carrier = node("sprite", x, -10.0f, z);
    Sprite& created = scene_.create<Sprite>(scene_.nextId());
    created.node = &carrier;
    created.setTextureId(textureId);
    created.size = size;
    created.glowExclusion = glowExcluded;
    carrier.sprite = &created;
    return created;
}

namespace {

// A texture object that shows a device texture made by the test.
class ShownTexture final : public Texture {
public:
    ShownTexture(SceneGraph& scene, int id, IDirect3DTexture9* texture) : Texture(scene, id) { show(texture); }
};

} // namespace

Texture& SceneBuilder::texture(int id, IDirect3DTexture9* deviceTexture)
{
    return scene_.create<ShownTexture>(id, deviceTexture);
}

void ProcessorTest::ready()
{
    scene->setLoaded(true);
    scene->prepare();
}

std::size_t ProcessorTest::frame()
{
    ready();
    const std::size_t from = device->calls().size();
    device->BeginScene();
    scene->render();
    device->EndScene();
    return from;
}

std::size_t ProcessorTest::plainPass()
{
    ready();
    const std::size_t from = device->calls().size();
    device->BeginScene();
    scene->activeCamera()->activate();
    DefaultProcessor& processor = plain();
    processor.beginPass();
    scene->root()->collect(processor);
    processor.endPass();
    device->EndScene();
    return from;
}

DefaultProcessor& ProcessorTest::plain() { return dynamic_cast<DefaultProcessor&>(*scene->processors().at(0)); }

GlowProcessor& ProcessorTest::glow() { return dynamic_cast<GlowProcessor&>(*scene->processors().at(1)); }

std::vector<unsigned> drawnStartIndices(const std::vector<std::string>& calls, std::size_t from)
{
    std::vector<unsigned> starts;
    for (const auto& fields : callsNamed(calls, "DrawIndexedPrimitive", from)) {
        starts.push_back(static_cast<unsigned>(std::strtoul(fields.at(5).c_str(), nullptr, 10)));
    }
    return starts;
}
