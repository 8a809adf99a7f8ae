// Lights go straight under the scene's root with their place in the world, sampled over the
// animation when anything above them moves: the player's light shines along the negated
// second column of its world matrix, which follows a node's rotation only when no parent
// turns, so each light gets the one world rotation that aims it (axis_conversion.h). At most
// eight lights are kept (the fixed-function device has eight); the rest are noted.
#pragma once

#include "import_context.h"

void placeLights(ImportContext& context);
