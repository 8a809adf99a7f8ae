// Plain Windows-shaped scalar types and handles shared by the platform stand-ins.
// Only names and widths: no behaviour lives here.
#pragma once

#include <cstdint>

using DWORD = std::uint32_t;
using UINT = unsigned int;
using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using LONG = std::int32_t;
using HRESULT = std::int32_t;
using LONGLONG = std::int64_t;
using HANDLE = void*;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// The one top-level window, owned by the shell.
struct ShellWindow;
using HWND = ShellWindow*;

// The running module; there is only ever one, so it carries no data.
struct ShellInstance;
using HINSTANCE = ShellInstance*;

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
