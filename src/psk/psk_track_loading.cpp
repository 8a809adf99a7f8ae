// Sampled tracks: transform, vertex and float tracks become controllers on the file's time
// base, bound to objects defined earlier in the file.
#include "psk/psk_scene_loader.h"
#include "scene/group.h"
#include "scene/multi_vertex_buffer.h"
#include "scene/prs_controller.h"
#include "scene/sample_float_controller.h"
#include "scene/vertex_controller.h"

#include <memory>

namespace {

void applySample(Transform& transform, std::uint32_t flags, const PskTransformSample& sample)
{
    if (flags & kPskTrackPosition)
        transform.position = D3DXVECTOR3(sample.position[0], sample.position[1], sample.position[2]);
    if (flags & kPskTrackRotation)
        transform.rotation = D3DXQUATERNION(sample.rotation[0], sample.rotation[1], sample.rotation[2], sample.rotation[3]);
    if (flags & kPskTrackScale)
        transform.scale = D3DXVECTOR3(sample.scale[0], sample.scale[1], sample.scale[2]);
}

} // namespace

void PSKSceneLoader::addTransformTrack(const PskTransformTrack& track)
{
    Group& node = resolve<Group>(track.node);
    auto controller = std::make_unique<PRSController>(&node);
    controller->timing = {looping_, time(track.times.loopLength), time(track.times.start), time(track.times.end)};
    controller->samples.reserve(track.samples.size());
    for (const PskTransformSample& sample : track.samples) {
        Transform transform = node.transform;
        applySample(transform, track.componentFlags, sample);
        controller->samples.push_back(transform);
    }
    scene().addController(std::move(controller));
}

void PSKSceneLoader::addVertexTrack(const PskVertexTrack& track)
{
    // Only a buffer with frames can be animated; a plain one is the wrong kind of object.
    MultiVertexBuffer& buffer = resolve<MultiVertexBuffer>(track.vertexBuffer);
    auto controller = std::make_unique<VertexController>(&buffer);
    controller->timing = {looping_, time(track.times.loopLength), time(track.times.start), time(track.times.end)};
    scene().addController(std::move(controller));
}

void PSKSceneLoader::addFloatTrack(const PskFloatTrack& track)
{
    Preparable& target = resolve<Preparable>(track.target);
    auto controller = std::make_unique<SampleFloatController>(&target, track.controlField);
    controller->timing = {looping_, time(track.times.loopLength), time(track.times.start), time(track.times.end)};
    controller->samples = track.samples;
    scene().addController(std::move(controller));
}
