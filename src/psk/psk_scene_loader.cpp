// The chunk loop, the index map and the refusal of damaged files.
#include "psk/psk_scene_loader.h"

#include "psk/psk_chunk_reader.h"
#include "psk/psk_chunk_type.h"
#include "psk/psk_time_value.h"
#include "platform/shell/shell.h"
#include "scene/group.h"
#include "scene/scene_graph.h"

#include <span>

void PSKSceneLoader::parseScene(const std::uint8_t* data, std::size_t size, int parentId, float timeOffset,
                                float timeScale, bool looping)
{
    parentId_ = parentId;
    timeOffset_ = timeOffset;
    timeScale_ = timeScale;
    looping_ = looping;

    PskChunkReader reader(std::span(data, size));
    PskChunk chunk;
    for (;;) {
        switch (reader.next(chunk)) {
        case PskChunkReader::Step::End:
            return;
        case PskChunkReader::Step::Damaged:
            if (reader.damage()->kind == PskDamageKind::UnknownChunk)
                failWithMessage("Error", "Unknown chunk in file!", 0);
            refuse();
        case PskChunkReader::Step::Chunk:
            handle(chunk);
            break;
        }
    }
}

int PSKSceneLoader::idForIndex(std::uint32_t index)
{
    const auto [entry, added] = indexMap_.try_emplace(index, 0);
    if (added)
        entry->second = scene().nextId();
    return entry->second;
}

void PSKSceneLoader::refuse() const { failWithMessage("Error", "Damaged scene file: " + fileName(), 0); }

std::uint32_t PSKSceneLoader::time(std::uint32_t stored) const
{
    return pskTimeValue(stored, timeScale_, timeOffset_);
}

void PSKSceneLoader::handle(const PskChunk& chunk)
{
    const PskChunkHeader& header = chunk.header;
    const PskPayload& payload = chunk.payload;
    switch (static_cast<PskChunkType>(header.type)) {
    case PskChunkType::Ambient: {
        const PskColour& colour = std::get<PskAmbient>(payload).colour;
        scene().ambient = {colour.red, colour.green, colour.blue, colour.alpha};
        break;
    }
    case PskChunkType::Group:
        addGroup(header, std::get<PskGroup>(payload));
        break;
    case PskChunkType::Mesh:
        addMesh(header, std::get<PskMesh>(payload));
        break;
    case PskChunkType::Camera:
        addCamera(header, std::get<PskCamera>(payload));
        break;
    case PskChunkType::Light:
        addLight(header, std::get<PskLight>(payload));
        break;
    case PskChunkType::VertexBuffer:
        addVertexBuffer(header, std::get<PskVertexBuffer>(payload));
        break;
    case PskChunkType::IndexBuffer:
        addIndexBuffer(header, std::get<PskIndexBuffer>(payload));
        break;
    case PskChunkType::Material:
        addMaterial(header, std::get<PskMaterial>(payload));
        break;
    case PskChunkType::Texture:
        addTexture(header, std::get<PskTexture>(payload));
        break;
    case PskChunkType::Sprite:
        addSprite(header, std::get<PskSprite>(payload));
        break;
    case PskChunkType::TransformTrack:
        addTransformTrack(std::get<PskTransformTrack>(payload));
        break;
    case PskChunkType::VertexTrack:
        addVertexTrack(std::get<PskVertexTrack>(payload));
        break;
    case PskChunkType::FloatTrack:
        addFloatTrack(std::get<PskFloatTrack>(payload));
        break;
    }
}
