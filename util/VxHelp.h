// Help-file paths: where the host finds the plug-in's help, per help kind
// (0: the plug-in's manual, 1: its context help).
#pragma once

#include "platform/Win32.h"
#include "util/VxLang.h"

#include <cstdint>

constexpr int32_t kVxHelpPathCapacity = 260;

// Builds the help-file path of `kind` (0 or 1) for the library `module` in the language
// of `language`: the help folder beside the library, one subfolder per language.
bool VxHelp_CreatePluginHelpFilePath(HMODULE module, VXLANG language, int32_t kind, WCHAR* path,
                                     int32_t capacity);
// Registers a help-file path for `kind`; an empty or null path clears it.
void VxHelp_SetHelpFilePath(int32_t kind, const WCHAR* path);
// The registered path of `kind`, or null.
const WCHAR* VxHelp_GetHelpFilePath(int32_t kind);
