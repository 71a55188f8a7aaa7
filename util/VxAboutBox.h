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

// Shows the About box for `info`: on Windows a modal message box owned by `parent`;
// elsewhere there is no window system, so the box's text goes to standard error and the
// call returns at once.  Answers S_OK; null info gives E_POINTER.
HRESULT VxAboutBox(HWND parent, const VxAboutInfo* info);
// The text the box shows, one item a line.
int32_t VxAboutText(const VxAboutInfo* info, WCHAR* buffer, int32_t capacity);
