// Starts moving a layer at a constant rate (pixels per second) from where it is now.
#pragma once

#include "script/script_item.h"

#include <cstdint>

class SetLayerPosDelta : public ScriptItem {
public:
    SetLayerPosDelta(Scripter& scripter, std::int32_t layer, float xPerSecond, float yPerSecond)
        : ScriptItem(scripter), layer(layer), xPerSecond(xPerSecond), yPerSecond(yPerSecond) {}
    bool execute(float scriptTimeMs) override;

    const std::int32_t layer;
    const float xPerSecond;
    const float yPerSecond;
};
