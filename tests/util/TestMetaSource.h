// A host's metadata source for tests: summary items and media-manager entries held in
// memory, served through IVxMetaSource.
#pragma once

#include "include/VxSWFPlugin.h"

#include <cstring>
#include <string>
#include <vector>

namespace metatest {

inline std::u16string U(const char* text) {
    return std::u16string(text, text + std::strlen(text));
}

// Appends the text as terminated UTF-16LE.
inline void AppendWide(std::vector<uint8_t>& bytes, const std::u16string& text) {
    for (char16_t c : text) bytes.insert(bytes.end(), {uint8_t(c), uint8_t(c >> 8)});
    bytes.insert(bytes.end(), 2, 0);
}

// A whole media-manager entry: header, terminated name, data.
inline std::vector<uint8_t> MediaEntry(uint32_t id, const char* name,
                                       const std::vector<uint8_t>& data) {
    VxMediaMgrEntryHeader header = {};
    header.headerSize = sizeof(header);
    header.id = id;
    for (uint32_t i = 0; i < 9; ++i) header.values[i] = id * 100 + i;
    header.nameBytes = uint32_t((std::strlen(name) + 1) * 2);
    header.dataKind = 7;
    header.dataBytes = uint32_t(data.size());
    std::vector<uint8_t> bytes(sizeof(header));
    std::memcpy(bytes.data(), &header, sizeof(header));
    AppendWide(bytes, U(name));
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

class TestMetaSource final : public IVxMetaSource {
public:
    struct Item {
        uint32_t id;
        std::u16string text;
    };
    std::vector<Item> items;
    bool mediaPresent = true;
    uint32_t header[3] = {0x11, 0x22, 0x33};
    std::vector<std::vector<uint8_t>> media;
    GUID fileId = {0x01020304, 0x0506, 0x0708, {9, 10, 11, 12, 13, 14, 15, 16}};
    bool hasFileId = true;
    uint32_t lastSet = 0xFFFFFFFF;
    HRESULT countAnswer = S_OK;
    LONG refs = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        *object = nullptr;
        if (riid != IID_IUnknown && riid != IID_IVxMetaSource) return E_NOINTERFACE;
        *object = static_cast<IVxMetaSource*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(--refs); }

    HRESULT STDMETHODCALLTYPE GetSummaryCount(uint32_t set, int32_t* count) override {
        lastSet = set;
        *count = int32_t(items.size());
        return countAnswer;
    }
    HRESULT STDMETHODCALLTYPE GetSummaryItem(uint32_t, int32_t index, uint32_t* id,
                                             const WCHAR** text) override {
        *id = items[size_t(index)].id;
        *text = reinterpret_cast<const WCHAR*>(items[size_t(index)].text.c_str());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMediaMgrInfo(uint32_t, uint32_t out[3]) override {
        std::memcpy(out, header, sizeof(header));
        return mediaPresent ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE GetMediaMgrCount(uint32_t, int32_t* count) override {
        *count = int32_t(media.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMediaMgrEntry(uint32_t, int32_t index, const void** entry,
                                               uint32_t* length) override {
        *entry = media[size_t(index)].data();
        *length = uint32_t(media[size_t(index)].size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetFileId(GUID* id) override {
        *id = fileId;
        return hasFileId ? S_OK : S_FALSE;
    }
};

// The source most tests write: two summary items and two media-manager entries.
inline void FillSample(TestMetaSource& source) {
    source.items = {{4, U("Title of the clip")}, {9, U("Author")}};
    source.media = {MediaEntry(1, "first", {1, 2, 3}), MediaEntry(2, "second", {})};
}

// Summary entry bytes as the stream serves them.
inline std::vector<uint8_t> SummaryBytes(uint32_t id, const std::u16string& text) {
    std::vector<uint8_t> bytes;
    for (uint32_t v : {12u, id, uint32_t((text.size() + 1) * 2)})
        for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(v >> (8 * i)));
    AppendWide(bytes, text);
    return bytes;
}

} // namespace metatest
