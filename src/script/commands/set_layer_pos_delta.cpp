// The set layer pos delta command.
#include "script/commands/set_layer_pos_delta.h"

#include "script/scripter.h"

bool SetLayerPosDelta::execute(float scriptTimeMs) {
    if (Layer* target = scripter_.layers().find(layer)) {
        target->baseX = target->x;
        target->baseY = target->y;
        target->posStartTime = scriptTimeMs;
        target->dx = xPerSecond;
        target->dy = yPerSecond;
    }
    return true;
}
