// State of the loaded library, shared by every object of the plug-in.
#pragma once

#include "platform/Win32.h"
#include "util/VxLang.h"

#include <cstdint>

struct ModuleState {
    HMODULE module = nullptr;
    VXLANG language = nullptr;
    LONG serverLocks = 0;
    uint32_t readFileClassFlags = 0;
    // Reported by the read-file class and passed to the host's callback; never written.
    GUID formatId = {};
    GUID hostQueryId = {};
};

ModuleState& Module();

// Process attach: opens the language resources and registers the help paths.  True when
// the language resources opened.
bool ModuleAttach(HMODULE module);
void ModuleDetach();
// Builds and registers both help-file paths for the current language.
void RegisterHelpPaths();
