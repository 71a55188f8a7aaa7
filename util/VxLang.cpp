#include "util/VxLang.h"

#include <new>

namespace {

constexpr uint32_t kEnglishUS = 0x0409;

struct StringEntry {
    uint32_t id;
    const WCHAR* text;
};

// The plug-in ships one string table; other languages fall back to it.
const StringEntry kEnglish[] = {
    {IDS_OPEN_TITLE, PLATFORM_WIDE("Open Shockwave Flash File")},
    {IDS_FILE_PATTERN, PLATFORM_WIDE("*.swf")},
    {IDS_FORMAT_NAME, PLATFORM_WIDE("Shockwave Flash")},
    {IDS_PLUGIN_NAME, PLATFORM_WIDE("Morvane Shockwave Flash File Format")},
    {IDS_ABOUT_TITLE, PLATFORM_WIDE("Morvane Shockwave Flash File Format Plug-In")},
    {IDS_STREAM_NAME, PLATFORM_WIDE("SWF")},
    {IDS_BITRATE, PLATFORM_WIDE("$d Kbps")},
};

const WCHAR* FindString(uint32_t id) {
    for (const StringEntry& entry : kEnglish)
        if (entry.id == id) return entry.text;
    return nullptr;
}

} // namespace

struct VxLanguage {
    HMODULE module = nullptr;
    uint32_t lcid = kEnglishUS;
};

bool VxLang_Open(HMODULE module, VXLANG* language) {
    if (!language) return false;
    *language = new (std::nothrow) VxLanguage{module, kEnglishUS};
    return *language != nullptr;
}

void VxLang_Close(VXLANG language) {
    delete language;
}

void VxLang_UpdateKernelLCID(VXLANG language, uint32_t lcid, int32_t) {
    if (language) language->lcid = lcid;
}

bool VxLang_IsLCIDEnglish(uint32_t lcid) {
    return (lcid & 0x3FF) == 0x09;
}

uint32_t VxLang_GetLCID(VXLANG language) {
    return language ? language->lcid : kEnglishUS;
}

int32_t VxTextLength(const WCHAR* text) {
    int32_t n = 0;
    if (text)
        while (text[n]) ++n;
    return n;
}

int32_t VxCopyText(WCHAR* buffer, int32_t capacity, const WCHAR* text) {
    if (!buffer || capacity < 1) return 0;
    int32_t n = 0;
    if (text)
        for (; n < capacity - 1 && text[n]; ++n) buffer[n] = text[n];
    buffer[n] = 0;
    return n;
}

int32_t VxLoadString(VXLANG, uint32_t id, WCHAR* buffer, int32_t capacity) {
    const WCHAR* text = FindString(id);
    if (!text) return 0;
    return VxCopyText(buffer, capacity, text);
}

int32_t VxGetString(VXLANG language, uint32_t id, WCHAR* buffer, int32_t capacity) {
    VxCopyText(buffer, capacity, nullptr);
    return VxLoadString(language, id, buffer, capacity);
}
