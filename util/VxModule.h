// The library's own module: its handle and its file path.
#pragma once

#include "platform/Win32.h"

#include <cstdint>

// Readies the utility services for the library loaded as `module`.
void VxUtil_Init(HMODULE module);

void VxSetModuleHandle(HMODULE module);
HMODULE VxGetModuleHandle();

// The library's file path, truncated to capacity - 1 and terminated; returns its length.
int32_t VxGetModuleFileName(HMODULE module, WCHAR* path, int32_t capacity);
