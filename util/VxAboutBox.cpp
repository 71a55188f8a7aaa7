#include "util/VxAboutBox.h"

#include "util/VxLang.h"

#include <cstdio>
#include <string>

int32_t VxAboutText(const VxAboutInfo* info, WCHAR* buffer, int32_t capacity) {
    if (!info || !buffer || capacity < 1) return 0;
    std::u16string text;
    for (const WCHAR* line : {info->title, info->notice[0], info->notice[1], info->version,
                              info->modulePath, info->link}) {
        if (!line || !*line) continue;
        text.append(reinterpret_cast<const char16_t*>(line), size_t(VxTextLength(line)));
        text += u'\n';
    }
    return VxCopyText(buffer, capacity, reinterpret_cast<const WCHAR*>(text.c_str()));
}

#ifdef _WIN32

HRESULT VxAboutBox(HWND parent, const VxAboutInfo* info) {
    if (!info) return E_POINTER;
    WCHAR text[1024];
    VxAboutText(info, text, 1024);
    MessageBoxW(parent, text, info->title, MB_OK | MB_ICONINFORMATION);
    return S_OK;
}

#else

HRESULT VxAboutBox(HWND, const VxAboutInfo* info) {
    if (!info) return E_POINTER;
    WCHAR text[1024];
    const int32_t length = VxAboutText(info, text, 1024);
    char narrow[4096];
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, text, length, narrow, sizeof(narrow) - 1, nullptr, nullptr);
    narrow[bytes > 0 ? bytes : 0] = 0;
    std::fputs(narrow, stderr);
    return S_OK;
}

#endif
