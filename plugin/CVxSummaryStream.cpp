#include "plugin/CVxSummaryStream.h"

#include <cstring>

HRESULT CVxSummaryStream::FetchEntry(const void* entry, const uint8_t** address, uint32_t* length) {
    if (!address || !length) return E_POINTER;
    if (!entry || entry == lastFetched_) return E_FAIL;
    VxSummaryEntryHeader header;
    std::memcpy(&header, entry, sizeof(header));
    const uint64_t total = uint64_t(header.headerSize) + header.textBytes;
    if (total > UINT32_MAX) return E_INVALIDARG;
    lastFetched_ = entry;
    *address = static_cast<const uint8_t*>(entry);
    *length = uint32_t(total);
    return S_OK;
}
