// A read-only IStream over a list of metadata entries: a 12-byte prologue (12, 100, entry
// count), then each entry's serialised bytes in list order.  The derived classes know how
// long their entries are.
#pragma once

#include "platform/ComObject.h"
#include "include/VxSWFPlugin.h"
#include "util/VxList.h"

#include <cstdint>

class CVxListStream : public ComObject<CVxListStream, InterlockedCount<0>, IStream> {
public:
    // The list stays its owner's; the owner detaches it before freeing it.
    explicit CVxListStream(VXLIST list) : list_(list) {}
    virtual ~CVxListStream();

    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* read) override;
    HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG size, ULONG* written) override;
    // Positions are reported as the current entry index, 0 while in the prologue.
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER offset, DWORD origin,
                                   ULARGE_INTEGER* position) override;
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override;
    HRESULT STDMETHODCALLTYPE CopyTo(IStream* target, ULARGE_INTEGER size, ULARGE_INTEGER* read,
                                     ULARGE_INTEGER* written) override;
    HRESULT STDMETHODCALLTYPE Commit(DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Revert() override;
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size,
                                         DWORD lockType) override;
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size,
                                           DWORD lockType) override;
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Clone(IStream** clone) override;

    // Reports an entry's address and serialised length.  Asking for the entry fetched just
    // before (or an empty slot) answers E_FAIL, which moves the reader to the next entry.
    virtual HRESULT FetchEntry(const void* entry, const uint8_t** address, uint32_t* length) = 0;

    // The list's owner is going away: further reads and seeks answer VX_E_NOLIST.
    void Detach() { list_ = nullptr; }

protected:
    friend ComObject;
    void* FindInterface(REFIID riid);

    // After a rewind the entry fetched last is new again.
    virtual void ForgetFetched() = 0;

private:
    static constexpr uint32_t kPrologueBytes = 12;

    void Rewind();
    // Moves `size` bytes forward, copying them to `out` when it is not null.  The result is
    // the failure of a first fetch that left nothing moved, else S_OK.
    HRESULT Transfer(uint8_t* out, uint32_t size, uint32_t* moved);
    uint32_t FromPrologue(uint8_t* out, uint32_t size);
    uint32_t FromEntry(uint8_t* out, uint32_t size);

    VXLIST list_ = nullptr;
    int32_t index_ = -1; // -1 while in the prologue
    uint32_t offset_ = 0;
    uint32_t prologue_[3] = {kPrologueBytes, 100, 0};
    const uint8_t* part_ = nullptr; // the current entry's bytes, null until fetched
    uint32_t partLength_ = 0;
};
