// The set layer additive command.
#include "script/commands/set_layer_additive.h"

#include "script/scripter.h"

bool SetLayerAdditive::execute(float) {
    if (Layer* target = scripter_.layers().find(layer)) target->additive = additive;
    return true;
}
