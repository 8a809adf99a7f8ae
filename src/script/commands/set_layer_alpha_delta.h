// Starts fading a layer at a constant rate (opacity per second) from its present,
// unclamped opacity, so a fade that overshot 1 first has to come back below it.
#pragma once

#include "script/script_item.h"

#include <cstdint>

class SetLayerAlphaDelta : public ScriptItem {
public:
    SetLayerAlphaDelta(Scripter& scripter, std::int32_t layer, float alphaPerSecond)
        : ScriptItem(scripter), layer(layer), alphaPerSecond(alphaPerSecond) {}
    bool execute(float scriptTimeMs) override;

    const std::int32_t layer;
    const float alphaPerSecond;
};
