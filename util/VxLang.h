// Language resources: the user-visible strings of the plug-in, by string id, in the
// language the host asked for.
#pragma once

#include "platform/Win32.h"

#include <cstdint>

// String ids of the plug-in's resources.
enum VxStringId : uint32_t {
    IDS_OPEN_TITLE = 101,   // the host's open dialog title
    IDS_FILE_PATTERN = 102, // file pattern
    IDS_FORMAT_NAME = 103,  // format name
    IDS_PLUGIN_NAME = 104,  // plug-in name
    IDS_ABOUT_TITLE = 105,  // About box title
    IDS_STREAM_NAME = 106,  // stream name
    IDS_BITRATE = 107,      // bit-rate template
};

// An open set of language resources.
struct VxLanguage;
typedef VxLanguage* VXLANG;

// Opens the language resources of `module` in the process's language; false on failure.
bool VxLang_Open(HMODULE module, VXLANG* language);
void VxLang_Close(VXLANG language);
// Switches an open language to the Windows language id `lcid`.
void VxLang_UpdateKernelLCID(VXLANG language, uint32_t lcid, int32_t reload);
bool VxLang_IsLCIDEnglish(uint32_t lcid);
uint32_t VxLang_GetLCID(VXLANG language);

// Copies string `id` into `buffer`, truncated to capacity - 1 characters and terminated.
// Returns the number of characters copied (0 for an unknown id or no room).
int32_t VxLoadString(VXLANG language, uint32_t id, WCHAR* buffer, int32_t capacity);
// The same; a missing string leaves an empty, terminated buffer.
int32_t VxGetString(VXLANG language, uint32_t id, WCHAR* buffer, int32_t capacity);

// Copies a terminated UTF-16 text, truncated to capacity - 1 and terminated.  A null
// buffer or a capacity below 1 writes nothing.  Returns the characters copied.
int32_t VxCopyText(WCHAR* buffer, int32_t capacity, const WCHAR* text);
int32_t VxTextLength(const WCHAR* text);
