// Sets a layer's opacity (unclamped). A running fade keeps its rate and start time and
// continues from the new base.
#pragma once

#include "script/script_item.h"

#include <cstdint>

class SetLayerAlpha : public ScriptItem {
public:
    SetLayerAlpha(Scripter& scripter, std::int32_t layer, float alpha)
        : ScriptItem(scripter), layer(layer), alpha(alpha) {}
    bool execute(float scriptTimeMs) override;

    const std::int32_t layer;
    const float alpha;
};
