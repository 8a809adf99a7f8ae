// Node records (groups, cameras, lights): parent links, properties, tracks, nested scenes and
// the skybox.
#include "platform/shell/shell.h"
#include "psk/psk_scene_loader.h"
#include "render/state_cache.h"
#include "scene/camera.h"
#include "scene/camera_activator_controller.h"
#include "scene/light.h"

#include <memory>
#include <string>

namespace {

Transform sceneTransform(const PskTransform& stored)
{
    Transform transform;
    transform.position = D3DXVECTOR3(stored.position[0], stored.position[1], stored.position[2]);
    transform.rotation = D3DXQUATERNION(stored.rotation[0], stored.rotation[1], stored.rotation[2], stored.rotation[3]);
    transform.scale = D3DXVECTOR3(stored.scale[0], stored.scale[1], stored.scale[2]);
    return transform;
}

} // namespace

void PSKSceneLoader::readNode(Group& node, const PskNodeRecord& record)
{
    if (record.parent == -1) {
        node.setParentId(parentId_);
        // The last top-level node of a top-level file is the root.
        if (parentId_ == -1)
            scene().setRoot(&node);
    } else {
        node.setParentId(idForIndex(static_cast<std::uint32_t>(record.parent)));
    }
    node.name = record.name;
    node.transform = sceneTransform(record.transform);
    node.propertyText = record.properties;
    node.properties.parse(node.propertyText);
    node.readAnimations(scene(), node.properties, timeOffset_, timeScale_);
    node.flagA = record.flagA ? 1 : 0;
    node.flagB = record.flagB ? 1 : 0;
    if (record.visibility)
        node.visibility = *record.visibility;

    if (node.properties.getString("loader"))
        loadNested(node);
    if (node.properties.getString("skybox")) {
        scene().setSkybox(&node);
        node.setParentId(-1);
    }
}

bool PSKSceneLoader::isLoading(const std::string& file) const
{
    for (const PSKSceneLoader* loader = this; loader; loader = loader->includer_) {
        if (loader->fileName() == file)
            return true;
    }
    return false;
}

void PSKSceneLoader::loadNested(Group& node)
{
    const Configuration& properties = node.properties;
    const float offset = properties.getFloat("animoffset");
    float scale = properties.getFloat("animscale");
    const bool looping = properties.getInt("looping") != 0;
    const char* file = properties.getString("filename");
    // Without a file there is nothing to load, and a file that is already being read would
    // include itself without end.
    if (!file || isLoading(file) || depth_ >= kMaxNesting)
        refuse();
    PSKSceneLoader* top = this;
    while (top->includer_)
        top = top->includer_;
    if (++top->nestedLoads_ > kMaxNestedLoads)
        refuse();
    if (scale == 0.0f)
        scale = 1.0f;

    PSKSceneLoader& nested = scene().create<PSKSceneLoader>(scene().nextId());
    nested.includer_ = this;
    nested.depth_ = depth_ + 1;
    nested.setFileReader(fileReader());
    const float nestedOffset = offset + timeOffset_;
    const float nestedScale = scale * timeScale_;
    nested.loadFile(file, node.id(), nestedOffset, nestedScale, looping);
}

void PSKSceneLoader::addGroup(const PskChunkHeader& header, const PskGroup& group)
{
    readNode(define<Group>(header.objectIndex), group.node);
}

void PSKSceneLoader::addCamera(const PskChunkHeader& header, const PskCamera& record)
{
    Camera& camera = define<Camera>(header.objectIndex);
    readNode(camera, record.node);
    camera.fieldOfView = record.fieldOfView;
    camera.nearDistance = record.nearDistance;
    camera.farDistance = record.farDistance;
    camera.aspectRatio = 1.3333334f;
    if (!record.switches || record.switches->activationTimes.empty())
        return;
    auto switches = std::make_unique<CameraActivatorController>(&camera, looping_);
    for (std::uint32_t at : record.switches->activationTimes)
        switches->addTime(at);
    switches->finish();
    switches->loopLength = time(record.switches->loopLength);
    scene().addController(std::move(switches));
}

void PSKSceneLoader::addLight(const PskChunkHeader& header, const PskLight& record)
{
    Light& light = define<Light>(header.objectIndex);
    readNode(light, record.node);
    light.type = static_cast<D3DLIGHTTYPE>(record.lightType);
    light.colour = {record.colour.red, record.colour.green, record.colour.blue, record.colour.alpha};
    light.intensity = record.intensity;
    light.attenuation0 = record.attenuation[0];
    light.attenuation1 = record.attenuation[1];
    light.attenuation2 = record.attenuation[2];
    light.range = record.range;
    light.innerCone = record.innerCone;
    light.outerCone = record.outerCone;
    light.castsShadow = record.castsShadow;
    const PskColour& shadow = record.shadowColour;
    light.shadowColour = {shadow.red, shadow.green, shadow.blue, shadow.alpha};
    if (record.castsShadow)
        light.stateCache().shadowLightFlag = true;
}
