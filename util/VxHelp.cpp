#include "util/VxHelp.h"

#include "util/VxModule.h"

#include <cstdio>
#include <string>

namespace {

WCHAR g_helpPaths[2][kVxHelpPathCapacity];

std::u16string Widen(const char* text) {
    std::u16string out;
    for (; *text; ++text) out += char16_t(static_cast<unsigned char>(*text));
    return out;
}

} // namespace

bool VxHelp_CreatePluginHelpFilePath(HMODULE module, VXLANG language, int32_t kind, WCHAR* path,
                                     int32_t capacity) {
    if (!path || capacity < 1 || kind < 0 || kind > 1) return false;
    path[0] = 0;
    WCHAR modulePath[kVxHelpPathCapacity];
    const int32_t length = VxGetModuleFileName(module, modulePath, kVxHelpPathCapacity);
    std::u16string folder(reinterpret_cast<const char16_t*>(modulePath), length);
    const size_t slash = folder.find_last_of(u"/\\");
    folder = slash == std::u16string::npos ? std::u16string() : folder.substr(0, slash + 1);
    char language_folder[16];
    std::snprintf(language_folder, sizeof(language_folder), "%04X",
                  unsigned(VxLang_GetLCID(language) & 0xFFFF));
    const std::u16string full = folder + u"help/" + Widen(language_folder) +
                                (kind == 0 ? u"/swfplugin.html" : u"/swfplugin-context.html");
    return VxCopyText(path, capacity, reinterpret_cast<const WCHAR*>(full.c_str())) ==
           int32_t(full.size());
}

void VxHelp_SetHelpFilePath(int32_t kind, const WCHAR* path) {
    if (kind < 0 || kind > 1) return;
    VxCopyText(g_helpPaths[kind], kVxHelpPathCapacity, path);
}

const WCHAR* VxHelp_GetHelpFilePath(int32_t kind) {
    if (kind < 0 || kind > 1 || g_helpPaths[kind][0] == 0) return nullptr;
    return g_helpPaths[kind];
}
