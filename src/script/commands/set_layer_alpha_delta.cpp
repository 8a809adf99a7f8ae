// The set layer alpha delta command.
#include "script/commands/set_layer_alpha_delta.h"

#include "script/scripter.h"

bool SetLayerAlphaDelta::execute(float scriptTimeMs) {
    if (Layer* target = scripter_.layers().find(layer)) {
        target->baseAlpha = target->alpha;
        target->alphaStartTime = scriptTimeMs;
        target->dAlpha = alphaPerSecond;
    }
    return true;
}
