// Sets the volume of the current music (0 to 255, passed on unchanged). Without current
// music nothing happens and nothing is remembered.
#pragma once

#include "script/script_item.h"

#include <cstdint>

class SetVolume : public ScriptItem {
public:
    SetVolume(Scripter& scripter, std::int32_t volume)
        : ScriptItem(scripter), volume(volume) {}
    bool execute(float scriptTimeMs) override;

    const std::int32_t volume;
};
