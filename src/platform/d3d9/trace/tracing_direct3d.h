// A Direct3D object whose devices are tracing devices over another Direct3D object's: how
// `demotool capture --trace` puts TracingDevice under a program that makes its own device.
#pragma once

#include "platform/d3d9/d3d9.h"

#include <functional>

class TracingDevice;

// Takes over one reference of inner; each device it creates is handed to onDevice too.
IDirect3D9* createTracingDirect3D9(IDirect3D9* inner, std::function<void(TracingDevice*)> onDevice);
