#include "player_view.h"

#include "file_io.h"

#include <cmath>
#include <stdexcept>

namespace {

const PskNodeRecord* nodeRecordOf(const PskPayload& payload)
{
    if (const auto* group = std::get_if<PskGroup>(&payload))
        return &group->node;
    if (const auto* camera = std::get_if<PskCamera>(&payload))
        return &camera->node;
    if (const auto* light = std::get_if<PskLight>(&payload))
        return &light->node;
    return nullptr;
}

bool definesObject(std::uint16_t type)
{
    return type != 1 && type != 10 && type != 11 && type != 12;
}

} // namespace

D3DXMATRIX pskLocalMatrix(const PskTransform& t)
{
    D3DXMATRIX scale, rotation, local;
    D3DXMatrixScaling(&scale, t.scale[0], t.scale[1], t.scale[2]);
    const D3DXQUATERNION q(t.rotation[0], t.rotation[1], t.rotation[2], t.rotation[3]);
    D3DXMatrixRotationQuaternion(&rotation, &q);
    D3DXMatrixMultiply(&local, &scale, &rotation);
    local._41 = t.position[0];
    local._42 = t.position[1];
    local._43 = t.position[2];
    return local;
}

PlayerView::PlayerView(const std::filesystem::path& psk) : file_(readPskFile(readFileBytes(psk)))
{
    if (file_.damage)
        throw std::runtime_error("damaged: " + file_.damage->reason);
}

const PskChunk* PlayerView::object(std::uint32_t index) const
{
    for (const PskChunk& chunk : file_.chunks)
        if (definesObject(chunk.header.type) && chunk.header.objectIndex == index)
            return &chunk;
    return nullptr;
}

std::optional<std::uint32_t> PlayerView::nodeIndex(const std::string& name) const
{
    for (const PskChunk& chunk : file_.chunks)
        if (const PskNodeRecord* record = nodeRecordOf(chunk.payload); record && record->name == name)
            return chunk.header.objectIndex;
    return std::nullopt;
}

const PskNodeRecord* PlayerView::node(std::uint32_t index) const
{
    const PskChunk* chunk = object(index);
    return chunk ? nodeRecordOf(chunk->payload) : nullptr;
}

const PskTransformTrack* PlayerView::trackOf(std::uint32_t node) const
{
    for (const PskTransformTrack* track : all<PskTransformTrack>())
        if (track->node == node)
            return track;
    return nullptr;
}

PskTransform PlayerView::transformAt(std::uint32_t index, float t) const
{
    const PskTransform rest = node(index)->transform;
    const PskTransformTrack* track = trackOf(index);
    if (!track || track->samples.empty())
        return rest;
    // The player's sampled-time mapping, with the loop every top-level scene has.
    const auto& times = track->times;
    while (times.loopLength > 0 && t > static_cast<float>(times.loopLength))
        t -= static_cast<float>(times.loopLength);
    const std::size_t n = track->samples.size();
    auto sample = [&](std::size_t i) { return composeTransformSample(rest, track->componentFlags, track->samples[i]); };
    if (t < static_cast<float>(times.start))
        return sample(0);
    if (t > static_cast<float>(times.end))
        return sample(n - 1);
    const float f = (t - times.start) * static_cast<float>(n - 1) / static_cast<float>(times.end - times.start);
    if (std::trunc(f) == f)
        return sample(static_cast<std::size_t>(f));
    const PskTransform a = sample(static_cast<std::size_t>(std::floor(f)));
    const PskTransform b = sample(static_cast<std::size_t>(std::ceil(f)));
    const float w = f - std::floor(f);
    PskTransform out = a;
    for (int k = 0; k < 3; ++k) {
        out.position[k] = a.position[k] + (b.position[k] - a.position[k]) * w;
        out.scale[k] = a.scale[k] + (b.scale[k] - a.scale[k]) * w;
    }
    D3DXQUATERNION qa(a.rotation[0], a.rotation[1], a.rotation[2], a.rotation[3]);
    D3DXQUATERNION qb(b.rotation[0], b.rotation[1], b.rotation[2], b.rotation[3]);
    D3DXQUATERNION q;
    D3DXQuaternionSlerp(&q, &qa, &qb, w);
    out.rotation = {q.x, q.y, q.z, q.w};
    return out;
}

D3DXMATRIX PlayerView::worldAt(std::uint32_t index, float t) const
{
    D3DXMATRIX world = pskLocalMatrix(transformAt(index, t));
    for (std::int32_t parent = node(index)->parent; parent != -1;) {
        const D3DXMATRIX local = pskLocalMatrix(transformAt(static_cast<std::uint32_t>(parent), t));
        D3DXMatrixMultiply(&world, &world, &local);
        parent = node(static_cast<std::uint32_t>(parent))->parent;
    }
    return world;
}

ScreenPoint PlayerView::project(const std::string& cameraName, std::uint32_t nodeIndexOfPoint, D3DXVECTOR3 local,
                                float t) const
{
    const std::uint32_t cameraIndex = nodeIndex(cameraName).value();
    const auto& camera = std::get<PskCamera>(object(cameraIndex)->payload);
    // The camera's view: its transform with a quarter turn about X applied first.
    const float c = 0.7853975296020508f;
    const D3DXQUATERNION fix(std::sin(c), 0.0f, 0.0f, std::cos(c));
    PskTransform transform = transformAt(cameraIndex, t);
    const D3DXQUATERNION own(transform.rotation[0], transform.rotation[1], transform.rotation[2], transform.rotation[3]);
    D3DXQUATERNION turned;
    D3DXQuaternionMultiply(&turned, &fix, &own);
    transform.rotation = {turned.x, turned.y, turned.z, turned.w};
    D3DXMATRIX cameraWorld = pskLocalMatrix(transform);
    if (camera.node.parent != -1) {
        const D3DXMATRIX parent = worldAt(static_cast<std::uint32_t>(camera.node.parent), t);
        D3DXMatrixMultiply(&cameraWorld, &cameraWorld, &parent);
    }
    D3DXMATRIX view, projection, viewProjection;
    D3DXMatrixInverse(&view, nullptr, &cameraWorld);
    D3DXMatrixPerspectiveFovLH(&projection, camera.fieldOfView, 1.33333f, camera.nearDistance, camera.farDistance);
    D3DXMatrixMultiply(&viewProjection, &view, &projection);
    D3DXVECTOR3 world;
    const D3DXMATRIX nodeWorld = worldAt(nodeIndexOfPoint, t);
    D3DXVec3TransformCoord(&world, &local, &nodeWorld);
    D3DXVECTOR3 ndc;
    D3DXVec3TransformCoord(&ndc, &world, &viewProjection);
    return {(ndc.x + 1.0f) * 400.0f, (1.0f - ndc.y) * 300.0f};
}
