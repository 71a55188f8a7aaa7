#include "plugin/Module.h"

#include "util/VxHelp.h"
#include "util/VxModule.h"

ModuleState& Module() {
    static ModuleState state;
    return state;
}

void RegisterHelpPaths() {
    ModuleState& m = Module();
    for (int32_t kind = 0; kind <= 1; ++kind) {
        WCHAR path[kVxHelpPathCapacity] = {};
        VxHelp_CreatePluginHelpFilePath(m.module, m.language, kind, path, kVxHelpPathCapacity);
        VxHelp_SetHelpFilePath(kind, path);
    }
}

bool ModuleAttach(HMODULE module) {
    ModuleState& m = Module();
    m.module = module;
    VxUtil_Init(module);
    const bool opened = VxLang_Open(module, &m.language);
    RegisterHelpPaths();
    DisableThreadLibraryCalls(module);
    return opened;
}

void ModuleDetach() {
    Module().module = nullptr;
}
