#include "psk_scene_builder.h"

#include "psk/psk_writer.h"

void PskSceneBuilder::add(Section section, std::uint16_t version, std::uint32_t index, PskPayload payload)
{
    sections_[section].push_back(Entry{version, index, std::move(payload)});
}

std::uint32_t PskSceneBuilder::textureIndex(const std::string& fileName)
{
    if (const auto found = textures_.find(fileName); found != textures_.end())
        return found->second;
    const std::uint32_t index = newIndex();
    textures_[fileName] = index;
    add(Section::Head, 1, index, PskTexture{fileName});
    return index;
}

std::vector<std::uint8_t> PskSceneBuilder::bytes() const
{
    PskWriter writer;
    for (const auto& [section, entries] : sections_)
        for (const Entry& entry : entries)
            writer.chunk(entry.version, entry.index, entry.payload);
    return writer.bytes();
}
