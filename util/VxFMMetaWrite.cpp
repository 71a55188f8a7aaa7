// Writing companion metadata files.  A new image is built in memory from the source and
// the chunks of the old file that it does not replace, written to a temporary file beside
// the companion file and renamed over it, so that readers never meet a half-written file.
#include "util/VxFMMeta.h"

#include "util/VxLang.h"
#include "util/VxMetaFormat.h"

#include <new>
#include <string>

namespace {

using WideString = std::basic_string<WCHAR>;

constexpr int32_t kNameCapacity = 260;

// Releases a COM pointer at scope end.
template <class T> struct Held {
    T* p = nullptr;
    ~Held() {
        if (p) p->Release();
    }
};

// The companion file as it is now; empty when missing or not one of ours.
struct ExistingFile {
    std::vector<uint8_t> image;
    std::vector<VxMetaChunk> chunks;
};

void ReadExisting(const WCHAR* name, ExistingFile& existing) {
    HANDLE file = CreateFileW(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    if (VxFMMeta_ReadImage(file, existing.image))
        VxMeta_ParseImage(existing.image.data(), existing.image.size(), existing.chunks);
    CloseHandle(file);
}

bool Replaced(uint32_t id, const std::vector<uint32_t>& replaced) {
    for (uint32_t r : replaced)
        if (r == id) return true;
    return false;
}

// Carries over the old file's chunks that the new image does not write itself.
void KeepOtherChunks(VxMetaImageBuilder& builder, const ExistingFile& existing,
                     const std::vector<uint32_t>& replaced) {
    for (const VxMetaChunk& chunk : existing.chunks)
        if (chunk.id != kVxMetaVersionChunk && !Replaced(chunk.id, replaced))
            builder.AddChunk(chunk.id, chunk.data, chunk.size);
}

bool WriteAll(HANDLE file, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, DWORD(bytes.size() - done), &written, nullptr) ||
            written == 0)
            return false;
        done += written;
    }
    return FlushFileBuffers(file) != FALSE;
}

HRESULT ReplaceFile(const WCHAR* name, const std::vector<uint8_t>& bytes) {
    if (bytes.size() > kVxMetaMaxFileBytes) return E_INVALIDARG;
    WideString temporary(name);
    const std::string suffix = ".~" + std::to_string(GetCurrentThreadId()) + ".tmp";
    temporary.append(suffix.begin(), suffix.end());
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return E_FAIL;
    const bool written = WriteAll(file, bytes);
    const bool closed = CloseHandle(file) != FALSE;
    if (written && closed && MoveFileExW(temporary.c_str(), name, MOVEFILE_REPLACE_EXISTING))
        return S_OK;
    DeleteFileW(temporary.c_str());
    return E_FAIL;
}

// Stops a source that reports more than a file can hold before it fills memory.
HRESULT CheckRoom(const std::vector<uint8_t>& data) {
    return data.size() > kVxMetaMaxFileBytes ? E_INVALIDARG : S_OK;
}

HRESULT SummaryChunk(IVxMetaSource* source, uint32_t set, std::vector<uint8_t>& data) {
    int32_t count = 0;
    HRESULT hr = source->GetSummaryCount(set, &count);
    if (FAILED(hr)) return hr;
    VxMeta_Put32(data, 0); // entry count, filled in below
    uint32_t written = 0;
    for (int32_t i = 0; i < count; ++i, ++written) {
        uint32_t id = 0;
        const WCHAR* text = nullptr;
        hr = source->GetSummaryItem(set, i, &id, &text);
        if (FAILED(hr)) return hr;
        const uint32_t characters = uint32_t(VxTextLength(text)) + 1;
        VxMeta_Put32(data, kVxSummaryHeaderBytes);
        VxMeta_Put32(data, id);
        VxMeta_Put32(data, characters * 2);
        for (uint32_t c = 0; c + 1 < characters; ++c) {
            data.push_back(uint8_t(text[c]));
            data.push_back(uint8_t(uint16_t(text[c]) >> 8));
        }
        data.insert(data.end(), 2, 0);
        if (FAILED(hr = CheckRoom(data))) return hr;
    }
    for (int b = 0; b < 4; ++b) data[b] = uint8_t(written >> (8 * b));
    return S_OK;
}

HRESULT MediaMgrChunk(IVxMetaSource* source, uint32_t set, std::vector<uint8_t>& data) {
    uint32_t header[3] = {};
    HRESULT hr = source->GetMediaMgrInfo(set, header);
    if (FAILED(hr)) return hr;
    const bool present = hr == S_OK;
    int32_t count = 0;
    if (present && FAILED(hr = source->GetMediaMgrCount(set, &count))) return hr;
    for (uint32_t value : header) VxMeta_Put32(data, value);
    VxMeta_Put32(data, present ? 1 : 0);
    VxMeta_Put32(data, uint32_t(count > 0 ? count : 0));
    for (int32_t i = 0; i < count; ++i) {
        const void* entry = nullptr;
        uint32_t length = 0;
        if (FAILED(hr = source->GetMediaMgrEntry(set, i, &entry, &length))) return hr;
        const auto* bytes = static_cast<const uint8_t*>(entry);
        // Only whole, self-consistent entries go in: the reader must find them again.
        if (!bytes || VxMeta_MediaMgrEntryLength(bytes, length) != length) return E_INVALIDARG;
        data.insert(data.end(), bytes, bytes + length);
        if (FAILED(hr = CheckRoom(data))) return hr;
    }
    return S_OK;
}

HRESULT AddKinds(VxMetaImageBuilder& builder, IVxMetaSource* source, uint32_t set, uint32_t kinds,
                 std::vector<uint32_t>& replaced) {
    if (kinds & VX_META_SUMMARY) {
        std::vector<uint8_t> data;
        const HRESULT hr = SummaryChunk(source, set, data);
        if (FAILED(hr)) return hr;
        builder.AddChunk(kVxMetaSummaryChunk, data);
        replaced.push_back(kVxMetaSummaryChunk);
    }
    if (kinds & VX_META_MEDIAMGR) {
        std::vector<uint8_t> data;
        const HRESULT hr = MediaMgrChunk(source, set, data);
        if (FAILED(hr)) return hr;
        builder.AddChunk(kVxMetaMediaMgrChunk, data);
        replaced.push_back(kVxMetaMediaMgrChunk);
    }
    return S_OK;
}

std::vector<uint8_t> FileIdBytes(const GUID& id) {
    std::vector<uint8_t> data;
    VxMeta_Put32(data, id.Data1);
    for (uint16_t half : {id.Data2, id.Data3}) {
        data.push_back(uint8_t(half));
        data.push_back(uint8_t(half >> 8));
    }
    data.insert(data.end(), id.Data4, id.Data4 + 8);
    return data;
}

HRESULT QuerySource(IUnknown* source, Held<IVxMetaSource>& meta) {
    if (!source) return E_POINTER;
    return source->QueryInterface(IID_IVxMetaSource, reinterpret_cast<void**>(&meta.p));
}

} // namespace

HRESULT VxFMMeta_openAndWriteMetaStreamEx(const WCHAR* path, int32_t current, uint32_t set,
                                          IUnknown* source, uint32_t, uint32_t kinds) {
    WCHAR name[kNameCapacity];
    HRESULT hr = VxFMMeta_CreateMetaName(path, name, kNameCapacity, kVxMetaNameAppended);
    if (FAILED(hr)) return hr;
    Held<IVxMetaSource> meta;
    if (FAILED(hr = QuerySource(source, meta))) return hr;
    try {
        ExistingFile existing;
        ReadExisting(name, existing);
        VxMetaImageBuilder builder;
        std::vector<uint32_t> replaced;
        hr = AddKinds(builder, meta.p, current ? 0 : set, kinds, replaced);
        if (FAILED(hr)) return hr;
        KeepOtherChunks(builder, existing, replaced);
        return ReplaceFile(name, builder.Finish());
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT VxFMMeta_WriteRiffFileId(const WCHAR* path, IUnknown* source) {
    WCHAR name[kNameCapacity];
    HRESULT hr = VxFMMeta_CreateMetaName(path, name, kNameCapacity, kVxMetaNameAppended);
    if (FAILED(hr)) return hr;
    Held<IVxMetaSource> meta;
    if (FAILED(hr = QuerySource(source, meta))) return hr;
    GUID id = {};
    if (meta.p->GetFileId(&id) != S_OK) id = GUID{};
    try {
        ExistingFile existing;
        ReadExisting(name, existing);
        VxMetaImageBuilder builder;
        builder.AddChunk(kVxMetaFileIdChunk, FileIdBytes(id));
        KeepOtherChunks(builder, existing, {kVxMetaFileIdChunk});
        return ReplaceFile(name, builder.Finish());
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}
