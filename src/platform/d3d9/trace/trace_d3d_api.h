// The Direct3D 9 API the trace player is compiled against: our own device API here, the
// system's <d3d9.h> when the Windows reference program builds the same player source.
#pragma once

#if defined(TRACE_NATIVE_D3D9)
#include <windows.h>
#include <d3d9.h>
#else
#include "platform/d3d9/d3d9.h"
#endif
