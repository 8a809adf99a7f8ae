// The set layer alpha command.
#include "script/commands/set_layer_alpha.h"

#include "script/scripter.h"

bool SetLayerAlpha::execute(float) {
    if (Layer* target = scripter_.layers().find(layer)) target->baseAlpha = target->alpha = alpha;
    return true;
}
