#include "scene/animated_texture.h"

#include "platform/shell/shell.h"
#include "scene/texture_image.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace {

// The image indices of the "i%d" keys below `count` that name a file, ascending. Read from the
// stored keys rather than by counting up to `count`, so a huge count costs nothing.
std::vector<std::pair<int, std::string>> namedImages(const Configuration& properties, int count)
{
    std::vector<std::pair<int, std::string>> images;
    for (const auto& [key, value] : properties.withPrefix("i")) {
        const std::string_view digits = key.substr(1);
        int index = -1;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
        if (error != std::errc() || end != digits.data() + digits.size() || index < 0 || index >= count) continue;
        // Only the spelling "%d" writes: "i07" is not image 7.
        if (std::to_string(index) != digits || value.empty()) continue;
        images.emplace_back(index, std::string(value));
    }
    std::sort(images.begin(), images.end());
    return images;
}

} // namespace

AnimatedTexture::AnimatedTexture(SceneGraph& scene, int id) : Texture(scene, id) {}

void AnimatedTexture::loadImages(std::string_view sequenceText, float timeOffset, float timeScale)
{
    properties_.parse(sequenceText);
    // A negative count is no count. Keys the count names but the text lacks (or leaves
    // empty) are left out of the list; with none left, the texture's own picture is shown.
    const int count = properties_.getInt("images");
    for (const auto& [index, file] : namedImages(properties_, count)) {
        IDirect3DTexture9* image = loadTextureImage(stateCache(), file);
        hasAlpha_ = textureHasAlpha(image);
        images_.push_back(image);
    }
    if (images_.empty()) {
        IDirect3DTexture9* image = loadTextureImage(stateCache(), name);
        hasAlpha_ = textureHasAlpha(image);
        images_.push_back(image);
    }
    selectImage(0);
    readAnimations(scene(), properties_, timeOffset, timeScale);
}

void AnimatedTexture::selectImage(int index)
{
    if (images_.empty()) return;
    const int count = static_cast<int>(images_.size());
    index %= count;
    // Counting back from the end keeps a negative index inside the list.
    if (index < 0) index += count;
    currentImage_ = index;
    deviceTexture_ = images_[static_cast<std::size_t>(index)];
}

void AnimatedTexture::refresh(bool)
{
    if (images_.empty()) return;
    // In double the wrap is exact for every float and a NaN or infinite index cannot reach
    // the integer conversion.
    double wrapped = std::fmod(std::trunc(static_cast<double>(activeImage)), static_cast<double>(images_.size()));
    if (!std::isfinite(wrapped)) wrapped = 0.0;
    selectImage(static_cast<int>(wrapped));
}

float* AnimatedTexture::controlField(const std::string& fieldName)
{
    if (fieldName == "Active Image") return &activeImage;
    if (fieldName == "Tex U Offset") return &uOffset;
    if (fieldName == "Tex V Offset") return &vOffset;
    if (fieldName == "Tex U Scale") return &uScale;
    if (fieldName == "Tex V Scale") return &vScale;
    shell().showMessageBox("Error", "Invalid control field in AnimatedTexture", MB_OK);
    return nullptr;
}
