// The About box.
#pragma once

#include "platform/Win32.h"

#include <cstdint>

struct VxAboutInfo {
    const WCHAR* title;      // product title
    const WCHAR* notice[2];  // the maker's notice lines
    const WCHAR* modulePath; // the library's file path
    const WCHAR* version;    // "Version 1.0 (Build 2554)"
    const WCHAR* link;       // the maker's web address
};

// Shows the About box for `info`.  This build has no window system: it writes the box's
// text to standard error, returns at once and answers S_OK.  Null info gives E_POINTER.
HRESULT VxAboutBox(HWND parent, const VxAboutInfo* info);
// The text the box shows, one item a line.
int32_t VxAboutText(const VxAboutInfo* info, WCHAR* buffer, int32_t capacity);
