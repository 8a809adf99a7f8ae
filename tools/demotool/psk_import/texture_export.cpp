#include "texture_export.h"

#include "file_io.h"
#include "png_encoding.h"
#include "platform/d3dx/picture_decoder.h"
#include "tool_error.h"

#include <algorithm>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The player's ceiling for one decoded entry; no picture it can load is larger as a file.
constexpr std::uintmax_t kMaxTextureFileBytes = std::uintmax_t{256} << 20;

bool isSafeStem(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           c == '.';
}

// A file name made of plain characters only, so it works as an archive key and a disk path.
std::string cleanFileName(const std::string& name)
{
    std::string out;
    for (char c : name)
        out += isSafeStem(c) ? c : '_';
    while (!out.empty() && out.front() == '.')
        out.erase(out.begin());
    return out.empty() ? "texture" : out;
}

} // namespace

TextureExport::TextureExport(const aiScene& scene, fs::path sourceFolder, fs::path outputFolder,
                             fs::path texturesFolder, std::string embeddedStem, ImportNotes& notes)
    : scene_(scene), sourceFolder_(std::move(sourceFolder)), outputFolder_(std::move(outputFolder)),
      texturesFolder_(std::move(texturesFolder)), embeddedStem_(std::move(embeddedStem)), notes_(notes)
{
}

std::optional<std::string> TextureExport::exportTexture(const std::string& reference, const std::string& user)
{
    if (const auto found = done_.find(reference); found != done_.end())
        return found->second;
    std::optional<std::string> result;
    if (const aiTexture* embedded = scene_.GetEmbeddedTexture(reference.c_str()))
        result = exportEmbedded(*embedded, reference, user);
    else
        result = exportFile(reference, user);
    done_[reference] = result;
    return result;
}

std::optional<std::string> TextureExport::exportEmbedded(const aiTexture& texture, const std::string& reference,
                                                         const std::string& user)
{
    std::vector<std::uint8_t> rgba;
    unsigned width = 0, height = 0;
    if (texture.mHeight == 0) {
        const auto picture = decodePicture(texture.pcData, texture.mWidth);
        if (!picture) {
            notes_.note(user, "embedded texture " + reference + " is in a format the player cannot read; dropped");
            return std::nullopt;
        }
        width = picture->header.width;
        height = picture->header.height;
        rgba.assign(picture->rgba.get(), picture->rgba.get() + std::size_t{width} * height * 4);
    } else {
        width = texture.mWidth;
        height = texture.mHeight;
        rgba.reserve(std::size_t{width} * height * 4);
        for (std::size_t i = 0; i < std::size_t{width} * height; ++i) {
            const aiTexel& texel = texture.pcData[i];
            rgba.insert(rgba.end(), {texel.r, texel.g, texel.b, texel.a});
        }
    }
    const std::vector<std::uint8_t> png = encodeRgbaPng(rgba.data(), width, height);
    if (png.empty()) {
        notes_.note(user, "embedded texture " + reference + " could not be written as PNG; dropped");
        return std::nullopt;
    }
    std::string stem = fs::path(texture.mFilename.C_Str()).stem().string();
    if (stem.empty())
        stem = embeddedStem_ + "-texture" + std::to_string(written_);
    return store(uniqueName(cleanFileName(stem + ".png")), png.data(), png.size());
}

std::optional<fs::path> TextureExport::locate(const std::string& reference) const
{
    std::string text = reference;
    std::replace(text.begin(), text.end(), '\\', '/');
    const fs::path path(text);
    std::error_code error;
    const fs::path full = path.is_absolute() ? path : sourceFolder_ / path;
    if (fs::is_regular_file(full, error))
        return full;
    // Files made on another machine often name a folder that only existed there.
    const fs::path besideSource = sourceFolder_ / path.filename();
    if (fs::is_regular_file(besideSource, error))
        return besideSource;
    return std::nullopt;
}

std::optional<std::string> TextureExport::exportFile(const std::string& reference, const std::string& user)
{
    const std::optional<fs::path> path = locate(reference);
    if (!path) {
        notes_.note(user, "texture file " + quotedName(reference) + " not found; dropped");
        return std::nullopt;
    }
    std::error_code sizeError;
    if (fs::file_size(*path, sizeError) > kMaxTextureFileBytes) {
        notes_.note(user, "texture " + quotedName(reference) + " is larger than the player reads; dropped");
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    try {
        bytes = readFileBytes(*path);
    } catch (const ToolError& error) {
        notes_.note(user, std::string(error.what()) + "; texture dropped");
        return std::nullopt;
    }
    if (!decodePicture(bytes.data(), bytes.size())) {
        notes_.note(user, "texture " + quotedName(reference) +
                              " is in a format the player cannot read (PNG, JPEG, TGA and BMP load); dropped");
        return std::nullopt;
    }
    return store(uniqueName(cleanFileName(path->filename().string())), bytes.data(), bytes.size());
}

std::string TextureExport::uniqueName(const std::string& wanted)
{
    std::string name = wanted;
    const fs::path path(wanted);
    for (unsigned n = 2; usedNames_.count(name) != 0; ++n)
        name = path.stem().string() + "-" + std::to_string(n) + path.extension().string();
    usedNames_.insert(name);
    return name;
}

std::string TextureExport::store(const std::string& name, const std::uint8_t* bytes, std::size_t size)
{
    writeFileAtomically(texturesFolder_ / name, std::span<const std::uint8_t>(bytes, size));
    ++written_;
    const fs::path relative = (texturesFolder_ / name).lexically_relative(outputFolder_);
    return relative.empty() ? name : relative.generic_string();
}
