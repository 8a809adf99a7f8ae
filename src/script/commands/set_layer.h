// Puts an image slot on a layer number with fresh placement and no motion; on an empty
// slot the layer is removed instead.
#pragma once

#include "script/script_item.h"

#include <cstdint>
#include <string>

class SetLayer : public ScriptItem {
public:
    SetLayer(Scripter& scripter, const std::string& slot, std::int32_t layer)
        : ScriptItem(scripter), slot(slot), layer(layer) {}
    bool execute(float scriptTimeMs) override;

    const std::string slot;
    const std::int32_t layer;
};
