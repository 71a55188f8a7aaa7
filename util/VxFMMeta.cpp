#include "util/VxFMMeta.h"

#include "util/VxLang.h"
#include "util/VxMetaFormat.h"

#include <cstring>
#include <new>

namespace {

const WCHAR kMetaExtension[] = PLATFORM_WIDE(".vxmeta");

bool IsSeparator(WCHAR c) {
    return c == '\\' || c == '/';
}

// Where the extension of the last path component starts, or the path's length.
int32_t ExtensionStart(const WCHAR* path, int32_t length) {
    for (int32_t i = length - 1; i >= 0 && !IsSeparator(path[i]); --i)
        if (path[i] == '.') return i;
    return length;
}

bool SameText(const WCHAR* a, const WCHAR* b) {
    for (; *a && *a == *b; ++a, ++b) {
    }
    return *a == *b;
}

// Copies each entry into its own global block with a zero terminator after it, so that
// a text cut short in the file still ends inside the block.
HRESULT AppendEntries(VXLIST list, const std::vector<VxMetaEntry>& entries) {
    for (const VxMetaEntry& entry : entries) {
        void* block = GlobalAlloc(GPTR, entry.length + sizeof(WCHAR));
        if (!block) return E_OUTOFMEMORY;
        std::memcpy(block, entry.bytes, entry.length);
        const HRESULT hr = VxList_InsertList(list, -1, &block);
        if (FAILED(hr)) {
            GlobalFree(block);
            return hr;
        }
    }
    return S_OK;
}

} // namespace

HRESULT VxFMMeta_CreateMetaName(const WCHAR* path, WCHAR* name, int32_t capacity, int32_t form) {
    if (!name || capacity < 1) return E_INVALIDARG;
    name[0] = 0;
    const int32_t length = VxTextLength(path);
    if (length == 0) return E_INVALIDARG;
    const int32_t stem = form == kVxMetaNameAppended ? length : ExtensionStart(path, length);
    const int32_t extension = VxTextLength(kMetaExtension);
    if (stem + extension > capacity - 1) return E_FAIL;
    std::memcpy(name, path, size_t(stem) * sizeof(WCHAR));
    VxCopyText(name + stem, capacity - stem, kMetaExtension);
    return S_OK;
}

bool VxFMMeta_IsMetaFile(const WCHAR* path, const WCHAR* name) {
    if (!name || !name[0] || (path && SameText(path, name))) return false;
    HANDLE file = CreateFileW(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

bool VxFMMeta_ReadImage(HANDLE file, std::vector<uint8_t>& image) {
    image.clear();
    DWORD high = 0;
    const DWORD size = GetFileSize(file, &high);
    if (size == INVALID_FILE_SIZE || high != 0 || size > kVxMetaMaxFileBytes) return false;
    try {
        image.resize(size);
    } catch (const std::bad_alloc&) {
        return false;
    }
    DWORD total = 0;
    while (total < size) {
        DWORD read = 0;
        if (!ReadFile(file, image.data() + total, size - total, &read, nullptr) || read == 0) break;
        total += read;
    }
    image.resize(total); // a file that shrank under us is read as cut short
    return true;
}

HRESULT VxFMMeta_fillSummaryFromFileEx(HANDLE file, VXLIST list, uint32_t) {
    if (!list) return E_POINTER;
    try {
        std::vector<uint8_t> image;
        std::vector<VxMetaChunk> chunks;
        if (!VxFMMeta_ReadImage(file, image)) return E_FAIL;
        if (!VxMeta_ParseImage(image.data(), image.size(), chunks)) return S_FALSE;
        const VxMetaChunk* summary = VxMeta_FindChunk(chunks, kVxMetaSummaryChunk);
        if (!summary) return S_FALSE;
        return AppendEntries(list, VxMeta_SummaryEntries(*summary));
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT VxFMMeta_fillMediaMgrFromFileEx(HANDLE file, uint32_t header[3], VXLIST list,
                                        uint32_t* present) {
    if (!header || !list || !present) return E_POINTER;
    *present = 0;
    try {
        std::vector<uint8_t> image;
        std::vector<VxMetaChunk> chunks;
        if (!VxFMMeta_ReadImage(file, image)) return E_FAIL;
        if (!VxMeta_ParseImage(image.data(), image.size(), chunks)) return S_FALSE;
        const VxMetaChunk* chunk = VxMeta_FindChunk(chunks, kVxMetaMediaMgrChunk);
        if (!chunk) return S_FALSE;
        const VxMediaMgrContent content = VxMeta_MediaMgrContent(*chunk);
        std::memcpy(header, content.header, sizeof(content.header));
        *present = content.present;
        const HRESULT hr = AppendEntries(list, content.entries);
        if (FAILED(hr)) return hr;
        return content.present ? S_OK : S_FALSE;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT VxFMMeta_ReadFileId(HANDLE file, GUID* id) {
    if (!id) return E_POINTER;
    *id = GUID{};
    try {
        std::vector<uint8_t> image;
        std::vector<VxMetaChunk> chunks;
        if (!VxFMMeta_ReadImage(file, image)) return E_FAIL;
        if (!VxMeta_ParseImage(image.data(), image.size(), chunks)) return S_FALSE;
        const VxMetaChunk* chunk = VxMeta_FindChunk(chunks, kVxMetaFileIdChunk);
        if (!chunk || chunk->size < 16) return S_FALSE;
        const uint8_t* b = chunk->data;
        id->Data1 = VxMeta_Get32(b);
        id->Data2 = uint16_t(b[4] | b[5] << 8);
        id->Data3 = uint16_t(b[6] | b[7] << 8);
        std::memcpy(id->Data4, b + 8, 8);
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
