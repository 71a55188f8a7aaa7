#include "util/VxModule.h"

#include "util/VxLang.h"

namespace {
HMODULE g_module = nullptr;
}

void VxSetModuleHandle(HMODULE module) {
    g_module = module;
}

void VxUtil_Init(HMODULE module) {
    VxSetModuleHandle(module);
}

HMODULE VxGetModuleHandle() {
    return g_module;
}

int32_t VxGetModuleFileName(HMODULE module, WCHAR* path, int32_t capacity) {
    if (!path || capacity < 1) return 0;
    path[0] = 0;
    char narrow[1024];
    const DWORD length = GetModuleFileNameA(module, narrow, sizeof(narrow));
    if (length == 0 || length >= sizeof(narrow)) return 0;
    WCHAR wide[1024];
    const int converted = MultiByteToWideChar(CP_ACP, 0, narrow, -1, wide, 1024);
    if (converted <= 0) return 0;
    return VxCopyText(path, capacity, wide);
}
