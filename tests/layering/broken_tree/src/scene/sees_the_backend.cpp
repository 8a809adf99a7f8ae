// The scene may see the display-device API, never its OpenGL backend.
#include "platform/d3d9/gl/gl_device.h"
