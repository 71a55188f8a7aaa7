// Text formatting for user-visible texts.
#pragma once

#include "platform/Win32.h"

#include <cstdint>

// Formats `format` into `buffer` (capacity in characters, always terminated).  The
// conversion marker is "$": "$d" takes an int32_t and writes it in decimal, "$u" a
// uint32_t, "$s" a terminated UTF-16 text, "$$" writes "$".  Returns the characters
// written.
int32_t VxPrintF(WCHAR* buffer, int32_t capacity, const WCHAR* format, ...);

// A one-line description of a picture format ("320 x 240, 32 bits per pixel"), at most
// 256 characters.
constexpr int32_t kVxAttribsTextCapacity = 256;
int32_t VxVideo_GetAttribsText(const BITMAPINFOHEADER* format, WCHAR* buffer, int32_t capacity);
