// The walk over the source's node tree: every node becomes a group (or a camera), with its
// transform in the player's axes, its sampled track, and its meshes packed into PSK meshes
// (the first on the node, further ones on child groups, since a node holds one mesh).
// Lights are collected for later: they are placed in world space (see light_placement.h).
#pragma once

#include "import_context.h"

void convertNodeTree(ImportContext& context, const aiNode& node, std::int32_t parent);
