// Keyframe tracks from a node's properties: "animations" tracks, each with "a<i>.field",
// "a<i>.looping" (only 1 loops), "a<i>.keyframes" and keys "a<i>.kf<j>" = "time value".
#include "scene/configuration.h"
#include "scene/keyframe_float_controller.h"
#include "scene/preparable.h"
#include "scene/scene_graph.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

// A key index as "%d" writes it: "0" or digits without a leading zero.
std::optional<std::uint32_t> keyIndex(std::string_view digits)
{
    if (digits.empty() || digits.size() > 10 || (digits.size() > 1 && digits[0] == '0')) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > 0x7FFFFFFF) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The first two blank-separated words of a key text.
std::pair<std::string, std::string> firstTwoWords(std::string_view text)
{
    std::string words[2];
    std::size_t pos = 0;
    for (std::string& word : words) {
        while (pos < text.size() && isBlank(text[pos])) ++pos;
        const std::size_t start = pos;
        while (pos < text.size() && !isBlank(text[pos])) ++pos;
        word.assign(text.substr(start, pos - start));
    }
    return {std::move(words[0]), std::move(words[1])};
}

// Keys j < count of one track, in key order. Only the keys present are visited, so a huge
// count costs nothing; absent keys would be skipped anyway.
std::vector<std::pair<std::uint32_t, std::string_view>> trackKeys(const Configuration& properties,
                                                                  const std::string& prefix, int count)
{
    std::vector<std::pair<std::uint32_t, std::string_view>> keys;
    if (count <= 0) return keys;
    for (const auto& [key, value] : properties.withPrefix(prefix)) {
        const auto index = keyIndex(key.substr(prefix.size()));
        if (index && *index < static_cast<std::uint32_t>(count)) keys.emplace_back(*index, value);
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

} // namespace

void Preparable::readAnimations(SceneGraph& scene, const Configuration& properties, float timeOffset, float timeScale)
{
    const int tracks = properties.getInt("animations");
    for (int i = 0; i < tracks; ++i) {
        // Appended, not `"a" + string`: GCC 12 at -O3 reports a false -Wrestrict on that.
        std::string track = "a";
        track.append(std::to_string(i)).append(".");
        // A track without a field name ends the list: the count is trusted only as far as
        // tracks are written, so a wrong count can neither run long nor bind a missing name.
        const char* field = properties.getString(track + "field");
        if (!field) break;
        const bool looping = properties.getInt(track + "looping") == 1;
        auto controller = std::make_unique<KeyframeFloatController>(this, field, looping);

        const auto keys = trackKeys(properties, track + "kf", properties.getInt(track + "keyframes"));
        controller->reserve(keys.size());
        for (const auto& [index, text] : keys) {
            const auto [time, value] = firstTwoWords(text);
            if (time.empty()) continue;
            controller->addKey(parseCFloat(time.c_str()) * timeScale + timeOffset,
                               value.empty() ? 0.0f : parseCFloat(value.c_str()));
        }
        // A field the target could not give (it has reported why) is never written: drop it.
        if (controller->bound()) scene.addController(std::move(controller));
    }
}
