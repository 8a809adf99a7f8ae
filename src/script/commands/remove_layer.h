// Removes one layer; a missing layer is not an error.
#pragma once

#include "script/script_item.h"

#include <cstdint>

class RemoveLayer : public ScriptItem {
public:
    RemoveLayer(Scripter& scripter, std::int32_t layer)
        : ScriptItem(scripter), layer(layer) {}
    bool execute(float scriptTimeMs) override;

    const std::int32_t layer;
};
