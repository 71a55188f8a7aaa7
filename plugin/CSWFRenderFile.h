// A render file of the render-file class: it never writes a movie, but collects the
// host's objects, stream records and metadata source, and writes the companion metadata
// file beside the movie's path.
#pragma once

#include "platform/ComObject.h"
#include "include/VxSWFPlugin.h"
#include "util/VxList.h"

#include <cstdint>
#include <vector>

class CSWFRenderFileClass;

// Born holding its creator's reference.
class CSWFRenderFile final : public ComObject<CSWFRenderFile, InterlockedCount<1>, IVxRenderFile> {
public:
    static constexpr int32_t kPathCapacity = 260;

    // `owner` is not held: the host keeps the class alive while its files exist.
    CSWFRenderFile(CSWFRenderFileClass* owner, uint32_t creationValue)
        : owner_(owner), creationValue_(creationValue) {}
    ~CSWFRenderFile();

    HRESULT STDMETHODCALLTYPE GetClass(IVxRenderFileClass** out) override;
    HRESULT STDMETHODCALLTYPE Close() override;
    int32_t STDMETHODCALLTYPE IsClosed() override;
    HRESULT STDMETHODCALLTYPE Open(intptr_t a, intptr_t b) override;
    HRESULT STDMETHODCALLTYPE SetFileName(const WCHAR* path) override;
    HRESULT STDMETHODCALLTYPE GetFileName(WCHAR* buffer, int32_t capacity) override;
    HRESULT STDMETHODCALLTYPE GetClassStrict(IVxRenderFileClass** out) override;
    HRESULT STDMETHODCALLTYPE GetObjectCount(int32_t* count) override;
    HRESULT STDMETHODCALLTYPE GetStreamRecords(VxStreamRecord* records, int32_t first,
                                               int32_t count) override;
    HRESULT STDMETHODCALLTYPE SetStreamRecords(const VxStreamRecord* records,
                                               int32_t count) override;
    HRESULT STDMETHODCALLTYPE Reserved13() override;
    HRESULT STDMETHODCALLTYPE Reserved14() override;
    HRESULT STDMETHODCALLTYPE AddObject(IUnknown* object, intptr_t unused) override;
    HRESULT STDMETHODCALLTYPE SetMetaSource(IUnknown* source) override;
    HRESULT STDMETHODCALLTYPE WriteMeta(intptr_t unused) override;
    HRESULT STDMETHODCALLTYPE WriteMetaFrom(uint32_t value) override;
    HRESULT STDMETHODCALLTYPE Reserved19() override;
    HRESULT STDMETHODCALLTYPE Reserved20() override;

private:
    friend ComObject;
    void* FindInterface(REFIID riid);

    HRESULT AskClass(IVxRenderFileClass** out, HRESULT withoutClass);
    HRESULT WriteMetaFile(int32_t current, uint32_t set);

    CSWFRenderFileClass* owner_ = nullptr;
    WCHAR path_[kPathCapacity] = {};
    uint32_t open_ = 0;
    int32_t objectCount_ = 0;
    VXLIST objects_ = nullptr; // AddRef'ed IUnknown pointers
    std::vector<VxStreamRecord> streamRecords_;
    IUnknown* metaSource_ = nullptr; // AddRef'ed
    // The host's value from CreateRenderFile: kept with the file, read by nothing yet.
    [[maybe_unused]] uint32_t creationValue_ = 0;
};
