// The scene-file loader's common part: it reads a scene file whole and hands the bytes to the
// format's parser, which builds the file's objects into the scene. A loader is a scene object:
// the scene owns it and it lives as long as the scene.
#pragma once

#include "scene/base.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Where a loader gets a file's bytes; it never returns empty-handed (a file that cannot be had
// ends the program in the reader's own way).
using SceneFileReader = std::function<std::vector<std::uint8_t>(const std::string& name)>;

class SceneLoader : public Base {
public:
    SceneLoader(SceneGraph& scene, int id);

    virtual void parseScene(const std::uint8_t* data, std::size_t size, int parentId, float timeOffset,
                            float timeScale, bool looping) = 0;

    // The top-level file: no parent, the scene's own time base, looping tracks; then the scene
    // counts as loaded.
    void load(const std::string& file);
    // Reads the file and parses it; nothing built from it keeps a pointer into the bytes.
    void loadFile(const std::string& file, int parentId, float timeOffset, float timeScale, bool looping);

    // The file being (or last) parsed, as named in messages.
    const std::string& fileName() const { return fileName_; }
    void setFileName(std::string name) { fileName_ = std::move(name); }
    // readWholeFile (the disk, then the archive) unless replaced, e.g. by a fuzzer.
    void setFileReader(SceneFileReader reader) { reader_ = std::move(reader); }
    const SceneFileReader& fileReader() const { return reader_; }

private:
    std::string fileName_;
    SceneFileReader reader_;
};
