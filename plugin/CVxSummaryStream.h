// The summary entries of a companion file as a stream.  An entry's serialised length is
// its header size plus its text bytes (first and third words).
#pragma once

#include "plugin/CVxListStream.h"

class CVxSummaryStream : public CVxListStream {
public:
    explicit CVxSummaryStream(VXLIST list) : CVxListStream(list) {}

    HRESULT FetchEntry(const void* entry, const uint8_t** address, uint32_t* length) override;

protected:
    void ForgetFetched() override { lastFetched_ = nullptr; }

private:
    const void* lastFetched_ = nullptr;
};
