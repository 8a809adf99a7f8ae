// Everything the scene and 2D code need of the helper library's math in one include.
#pragma once

#include "platform/d3dx/d3dx_matrix.h"
#include "platform/d3dx/d3dx_quaternion.h"
#include "platform/d3dx/d3dx_types.h"
#include "platform/d3dx/d3dx_vector.h"
