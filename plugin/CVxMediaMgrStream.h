// The media-manager entries of a companion file as a stream.  An entry's serialised
// length is its header size plus its name and data bytes (words 0, 11 and 13).
#pragma once

#include "plugin/CVxListStream.h"

class CVxMediaMgrStream : public CVxListStream {
public:
    explicit CVxMediaMgrStream(VXLIST list) : CVxListStream(list) {}

    HRESULT FetchEntry(const void* entry, const uint8_t** address, uint32_t* length) override;

protected:
    void ForgetFetched() override { lastFetched_ = nullptr; }

private:
    const void* lastFetched_ = nullptr;
};
