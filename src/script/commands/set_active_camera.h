// Switches the current scene to the camera of the given (case-sensitive) name; nothing
// happens without a current scene or such a camera.
#pragma once

#include "script/script_item.h"

#include <string>

class SetActiveCamera : public ScriptItem {
public:
    SetActiveCamera(Scripter& scripter, const std::string& name)
        : ScriptItem(scripter), name(name) {}
    bool execute(float scriptTimeMs) override;

    const std::string name;
};
