// The Scripter: slot bookkeeping, the frame update and the ordered shutdown.
#include "script/scripter.h"

#include "content2d/flash_player.h"
#include "content2d/image_blitter.h"
#include "music/music_stream.h"
#include "platform/d3d9/d3d9.h"
#include "platform/shell/shell.h"
#include "render/glow_targets.h"
#include "scene/scene_graph.h"
#include "script/command_factory.h"

Scripter::Scripter(IDirect3DDevice9* device, unsigned screenWidth, unsigned screenHeight,
                   std::function<float()> clockMs)
    : device_(device), screenWidth_(screenWidth), screenHeight_(screenHeight),
      clockMs_(std::move(clockMs)) {
    initSound();
    glowTargets().create(device_);
}

namespace {

// Slot contents go in ascending slot order, so teardown is the same on every run.
template <typename T>
void destroyInOrder(std::map<std::string, std::unique_ptr<T>>& slots) {
    while (!slots.empty()) slots.erase(slots.begin());
}

}  // namespace

Scripter::~Scripter() {
    commands_.clear();
    currentScene_ = nullptr;
    destroyInOrder(sceneSlots_);
    currentFlash_ = nullptr;
    destroyInOrder(flashSlots_);
    currentMusic_ = nullptr;
    destroyInOrder(musicSlots_);
    destroyInOrder(imageSlots_);
    closeSound();
    glowTargets().release();
    layers_.clear();
}

std::optional<ScriptError> Scripter::parseScript(const std::string& file, float timeOffset) {
    ArchiveOrDiskScriptSource archiveOrDisk;
    ScriptParser parser(scriptSource_ ? *scriptSource_ : archiveOrDisk);
    return parser.parse(
        file, timeOffset,
        [this](const ScriptLine& line) {
            std::unique_ptr<ScriptItem> command = makeCommand(*this, line);
            if (!command) return false;
            commands_.push_back(std::move(command));
            return true;
        },
        [this] {
            nextCommand_ = 0;
            clocks_ = ScriptClocks{};
        });
}

void Scripter::loadScript(const std::string& file, float timeOffset) {
    if (std::optional<ScriptError> error = parseScript(file, timeOffset)) {
        failWithMessage("Error loading script", error->message(), 0);
    }
}

bool Scripter::update() {
    if (nextCommand_ >= commands_.size()) return true;
    float now = clockMs_();
    while (commands_[nextCommand_]->execute(now - clocks_.scriptOrigin)) {
        if (++nextCommand_ >= commands_.size()) return true;
        now = clockMs_();
    }

    device_->BeginScene();
    const float sceneTime = now - clocks_.sceneOrigin;
    std::function<void()> drawScene;
    if (currentScene_) {
        drawScene = [this, sceneTime] {
            currentScene_->animate(sceneTime);
            currentScene_->render();
        };
    }
    layers_.compose(now - clocks_.scriptOrigin, drawScene);
    device_->EndScene();
    return false;
}

namespace {

template <typename T>
T* findIn(const std::map<std::string, std::unique_ptr<T>>& slots, const std::string& slot) {
    const auto found = slots.find(slot);
    return found == slots.end() ? nullptr : found->second.get();
}

}  // namespace

SceneGraph* Scripter::findScene(const std::string& slot) const { return findIn(sceneSlots_, slot); }

void Scripter::putScene(const std::string& slot, std::unique_ptr<SceneGraph> scene) {
    removeScene(slot);
    sceneSlots_[slot] = std::move(scene);
}

void Scripter::removeScene(const std::string& slot) {
    const auto found = sceneSlots_.find(slot);
    if (found == sceneSlots_.end()) return;
    if (currentScene_ == found->second.get()) currentScene_ = nullptr;
    sceneSlots_.erase(found);
}

FlashPlayer* Scripter::findFlash(const std::string& slot) const { return findIn(flashSlots_, slot); }

void Scripter::putFlash(const std::string& slot, std::unique_ptr<FlashPlayer> player) {
    removeFlash(slot);
    flashSlots_[slot] = std::move(player);
}

void Scripter::removeFlash(const std::string& slot) {
    const auto found = flashSlots_.find(slot);
    if (found == flashSlots_.end()) return;
    if (currentFlash_ == found->second.get()) currentFlash_ = nullptr;
    flashSlots_.erase(found);
}

MusicStream* Scripter::findMusic(const std::string& slot) const { return findIn(musicSlots_, slot); }

void Scripter::putMusic(const std::string& slot, std::unique_ptr<MusicStream> stream) {
    removeMusic(slot);
    musicSlots_[slot] = std::move(stream);
}

void Scripter::removeMusic(const std::string& slot) {
    const auto found = musicSlots_.find(slot);
    if (found == musicSlots_.end()) return;
    if (currentMusic_ == found->second.get()) {
        currentMusic_ = nullptr;
        found->second->stop();
    }
    musicSlots_.erase(found);
}

ImageBlitter* Scripter::findImage(const std::string& slot) const { return findIn(imageSlots_, slot); }

void Scripter::putImage(const std::string& slot, std::unique_ptr<ImageBlitter> image) {
    removeImage(slot);
    imageSlots_[slot] = std::move(image);
}

void Scripter::removeImage(const std::string& slot) {
    const auto found = imageSlots_.find(slot);
    if (found == imageSlots_.end()) return;
    layers_.removeShowing(found->second.get());
    imageSlots_.erase(found);
}
