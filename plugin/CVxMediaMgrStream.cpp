#include "plugin/CVxMediaMgrStream.h"

#include <cstring>

HRESULT CVxMediaMgrStream::FetchEntry(const void* entry, const uint8_t** address,
                                      uint32_t* length) {
    if (!address || !length) return E_POINTER;
    if (!entry || entry == lastFetched_) return E_FAIL;
    VxMediaMgrEntryHeader header;
    std::memcpy(&header, entry, sizeof(header));
    const uint64_t total = uint64_t(header.headerSize) + header.nameBytes + header.dataBytes;
    if (total > UINT32_MAX) return E_INVALIDARG;
    lastFetched_ = entry;
    *address = static_cast<const uint8_t*>(entry);
    *length = uint32_t(total);
    return S_OK;
}
