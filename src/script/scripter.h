// The demo's director: owns the parsed command list, the named content slots (scenes, Flash
// movies, music, images), the layers and three clock origins, and once per frame runs the
// commands that are due and composes the frame. The clock is injected: the player passes its
// performance-counter clock, tests a virtual one.
#pragma once

#include "script/layer_table.h"
#include "script/script_item.h"
#include "script/script_parser.h"

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class IDirect3DDevice9;
class SceneGraph;
class FlashPlayer;
class MusicStream;
class ImageBlitter;

// Script time = clock − scriptOrigin, scene time = clock − sceneOrigin. Only the time commands
// move them; starting a scene does not.
struct ScriptClocks {
    float sceneOrigin = 0.0f;
    float flashOrigin = 0.0f;
    float scriptOrigin = 0.0f;
};

class Scripter {
public:
    // Starts the sound library (which may end the process) and makes the glow targets.
    Scripter(IDirect3DDevice9* device, unsigned screenWidth, unsigned screenHeight,
             std::function<float()> clockMs);
    // Commands, scenes, Flash players, music, images, the sound library, the glow targets,
    // then the layers.
    virtual ~Scripter();
    Scripter(const Scripter&) = delete;
    Scripter& operator=(const Scripter&) = delete;

    // Appends the commands of file and its includes; a missing file adds nothing. A bad line
    // shows "Error loading script" and ends the process with exit code 0.
    void loadScript(const std::string& file, float timeOffset);
    // The same without ending the process: the bad line, if any, is returned.
    std::optional<ScriptError> parseScript(const std::string& file, float timeOffset);
    // Where script text is read from; not owned. Null: the archive, then the disk.
    void setScriptSource(ScriptSource* source) { scriptSource_ = source; }

    // One frame: true when the script has ended (that frame is not drawn).
    bool update();

    // What the commands work on.
    IDirect3DDevice9* device() const { return device_; }
    unsigned screenWidth() const { return screenWidth_; }
    unsigned screenHeight() const { return screenHeight_; }
    ScriptClocks& clocks() { return clocks_; }
    const ScriptClocks& clocks() const { return clocks_; }
    LayerTable& layers() { return layers_; }
    const LayerTable& layers() const { return layers_; }

    // Slot tables. find* gives null for an empty slot; remove* keeps the invariants (a current
    // pointer or a layer never refers to removed content); put* replaces what was there.
    SceneGraph* findScene(const std::string& slot) const;
    void putScene(const std::string& slot, std::unique_ptr<SceneGraph> scene);
    void removeScene(const std::string& slot);
    SceneGraph* currentScene() const { return currentScene_; }
    void setCurrentScene(SceneGraph* scene) { currentScene_ = scene; }

    FlashPlayer* findFlash(const std::string& slot) const;
    void putFlash(const std::string& slot, std::unique_ptr<FlashPlayer> player);
    void removeFlash(const std::string& slot);
    FlashPlayer* currentFlash() const { return currentFlash_; }
    void setCurrentFlash(FlashPlayer* player) { currentFlash_ = player; }

    MusicStream* findMusic(const std::string& slot) const;
    void putMusic(const std::string& slot, std::unique_ptr<MusicStream> stream);
    // Stops the stream first when it is the current music.
    void removeMusic(const std::string& slot);
    MusicStream* currentMusic() const { return currentMusic_; }
    void setCurrentMusic(MusicStream* stream) { currentMusic_ = stream; }

    ImageBlitter* findImage(const std::string& slot) const;
    void putImage(const std::string& slot, std::unique_ptr<ImageBlitter> image);
    // Removes every layer that shows the image first.
    void removeImage(const std::string& slot);

    // Read-only view of the command list, for tools and tests.
    std::size_t commandCount() const { return commands_.size(); }
    const ScriptItem* command(std::size_t index) const { return commands_.at(index).get(); }
    std::size_t nextCommand() const { return nextCommand_; }

private:
    IDirect3DDevice9* device_;
    std::vector<std::unique_ptr<ScriptItem>> commands_;
    std::size_t nextCommand_ = 0;
    ScriptClocks clocks_;
    std::map<std::string, std::unique_ptr<SceneGraph>> sceneSlots_;
    std::map<std::string, std::unique_ptr<FlashPlayer>> flashSlots_;
    std::map<std::string, std::unique_ptr<MusicStream>> musicSlots_;
    std::map<std::string, std::unique_ptr<ImageBlitter>> imageSlots_;
    unsigned screenWidth_;
    unsigned screenHeight_;
    SceneGraph* currentScene_ = nullptr;
    FlashPlayer* currentFlash_ = nullptr;
    MusicStream* currentMusic_ = nullptr;
    LayerTable layers_;
    std::function<float()> clockMs_;
    ScriptSource* scriptSource_ = nullptr;
};
