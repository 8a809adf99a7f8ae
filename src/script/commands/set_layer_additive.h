// Switches additive blending of a layer on (any non-zero flag) or off.
#pragma once

#include "script/script_item.h"

#include <cstdint>

class SetLayerAdditive : public ScriptItem {
public:
    SetLayerAdditive(Scripter& scripter, std::int32_t layer, bool additive)
        : ScriptItem(scripter), layer(layer), additive(additive) {}
    bool execute(float scriptTimeMs) override;

    const std::int32_t layer;
    const bool additive;
};
