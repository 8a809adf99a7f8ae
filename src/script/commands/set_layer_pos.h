// Places a layer. A moving layer keeps moving from the new base, timed from the motion's
// original start, so it jumps ahead by the distance already travelled.
#pragma once

#include "script/script_item.h"

#include <cstdint>

class SetLayerPos : public ScriptItem {
public:
    SetLayerPos(Scripter& scripter, std::int32_t layer, float x, float y)
        : ScriptItem(scripter), layer(layer), x(x), y(y) {}
    bool execute(float scriptTimeMs) override;

    const std::int32_t layer;
    const float x;
    const float y;
};
