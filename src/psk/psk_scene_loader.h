// Builds a scene from a PSK file: one object per defining chunk, in file order, with the
// file's object indices mapped to scene ids (each file, nested ones included, has its own
// map); node records link parents, read properties and tracks and may load a nested scene on
// a composed time base. Damaged files are refused with "Damaged scene file: " and the name
// rather than trusted: no read outside the data, no write through a missing object.
#pragma once

#include "psk/psk_records.h"
#include "psk/scene_loader.h"
#include "scene/scene_graph.h"

#include <cstdint>
#include <unordered_map>

class Group;

class PSKSceneLoader : public SceneLoader {
public:
    // Nested files deeper than this are taken for a loop of files the names do not reveal.
    static constexpr int kMaxNesting = 64;
    // Nested loads of one top-level file, all levels together: files that each name the next
    // several times would otherwise multiply their loads level by level.
    static constexpr int kMaxNestedLoads = 1024;

    using SceneLoader::SceneLoader;

    void parseScene(const std::uint8_t* data, std::size_t size, int parentId, float timeOffset, float timeScale,
                    bool looping) override;

    // The scene id of a file object index; an index seen for the first time gets a fresh id,
    // so a reference before the defining chunk and that chunk agree.
    int idForIndex(std::uint32_t index);

    int parentId() const { return parentId_; }
    float timeOffset() const { return timeOffset_; }
    float timeScale() const { return timeScale_; }
    bool looping() const { return looping_; }

private:
    [[noreturn]] void refuse() const;
    // Creates the object a chunk defines, under the id of its file index.
    template <typename T>
    T& define(std::uint32_t index);
    // Resolved at load time: an index naming no object, or one of another kind, is damage.
    template <typename T>
    T& resolve(std::uint32_t index);
    // A stored time value on this file's time base.
    std::uint32_t time(std::uint32_t stored) const;

    void handle(const PskChunk& chunk);
    void readNode(Group& node, const PskNodeRecord& record);
    void loadNested(Group& node);
    bool isLoading(const std::string& file) const;

    void addGroup(const PskChunkHeader& header, const PskGroup& group);
    void addCamera(const PskChunkHeader& header, const PskCamera& camera);
    void addLight(const PskChunkHeader& header, const PskLight& light);
    void addMesh(const PskChunkHeader& header, const PskMesh& mesh);
    void addVertexBuffer(const PskChunkHeader& header, const PskVertexBuffer& buffer);
    void addIndexBuffer(const PskChunkHeader& header, const PskIndexBuffer& buffer);
    void addMaterial(const PskChunkHeader& header, const PskMaterial& material);
    void addTexture(const PskChunkHeader& header, const PskTexture& texture);
    void addSprite(const PskChunkHeader& header, const PskSprite& sprite);
    void addTransformTrack(const PskTransformTrack& track);
    void addVertexTrack(const PskVertexTrack& track);
    void addFloatTrack(const PskFloatTrack& track);

    int parentId_ = -1;
    float timeOffset_ = 0.0f;
    float timeScale_ = 1.0f;
    bool looping_ = true;
    std::unordered_map<std::uint32_t, int> indexMap_;
    // What findById would give for the ids this file defined (the first object of each), kept
    // so that attaching to an earlier object costs a hash lookup instead of a scan.
    std::unordered_map<int, Base*> defined_;
    // The loader whose file names this one, for the nesting checks.
    PSKSceneLoader* includer_ = nullptr;
    int depth_ = 0;
    // Counted on the top-level file's loader.
    int nestedLoads_ = 0;
};

template <typename T>
T& PSKSceneLoader::define(std::uint32_t index)
{
    const int id = idForIndex(index);
    T& object = scene().create<T>(id);
    defined_.try_emplace(id, &object);
    return object;
}

template <typename T>
T& PSKSceneLoader::resolve(std::uint32_t index)
{
    const auto found = defined_.find(idForIndex(index));
    T* object = found == defined_.end() ? nullptr : dynamic_cast<T*>(found->second);
    if (!object)
        refuse();
    return *object;
}
