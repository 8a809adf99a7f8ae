// Puts an opaque solid colour that covers the screen into an image slot, replacing the
// slot's image and its layers. Components are kept as value / 255 of the 32-bit unsigned
// reading of the integers, so negative inputs end up at full intensity.
#pragma once

#include "script/script_item.h"

#include <cstdint>
#include <string>

class CreateColor : public ScriptItem {
public:
    CreateColor(Scripter& scripter, std::int32_t red, std::int32_t green, std::int32_t blue,
                const std::string& slot)
        : ScriptItem(scripter), red(component(red)), green(component(green)), blue(component(blue)),
          slot(slot) {}
    bool execute(float scriptTimeMs) override;

    const float red;
    const float green;
    const float blue;
    const std::string slot;

    // The colour drawn: alpha 255, then the three component bytes.
    std::uint32_t argb() const;

private:
    static float component(std::int32_t value) {
        return static_cast<float>(static_cast<std::uint32_t>(value)) / 255.0f;
    }
};
