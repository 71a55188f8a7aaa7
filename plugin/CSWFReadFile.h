// An opened movie as the host sees it: a set of streams (always one video stream), its
// length and its texts.
#pragma once

#include "platform/ComObject.h"
#include "bridge/VxSWFPrivate.h"
#include "include/VxSWFPlugin.h"

#include <cstdint>

class CSWFReadFileClass;
class CSWFReadMeta;
class CSWFReadVideoStream;

class CSWFReadFile final : public ComObject<CSWFReadFile, InterlockedCount<0>, IVxReadFile> {
public:
    static constexpr int32_t kPathCapacity = 260;

    explicit CSWFReadFile(CSWFReadFileClass* creator) : creator_(creator) {}
    ~CSWFReadFile();

    HRESULT STDMETHODCALLTYPE GetClass(IVxReadFileClass** out) override;
    HRESULT STDMETHODCALLTYPE GetText(WCHAR* buffer, int32_t capacity, int32_t kind) override;
    HRESULT STDMETHODCALLTYPE GetStreamText(WCHAR* buffer, int32_t capacity, int32_t streamIndex,
                                            int32_t kind) override;
    HRESULT STDMETHODCALLTYPE CheckUse(intptr_t a, int32_t size, int32_t kind) override;
    HRESULT STDMETHODCALLTYPE Reserved7(intptr_t a, intptr_t b, intptr_t c, intptr_t d) override;
    HRESULT STDMETHODCALLTYPE Reserved8(uint32_t* value) override;
    HRESULT STDMETHODCALLTYPE Close() override;
    int32_t STDMETHODCALLTYPE IsClosed() override;
    HRESULT STDMETHODCALLTYPE Open(intptr_t a, intptr_t b) override;
    HRESULT STDMETHODCALLTYPE SetFileName(const WCHAR* path) override;
    HRESULT STDMETHODCALLTYPE GetFileName(WCHAR* buffer, int32_t capacity) override;
    HRESULT STDMETHODCALLTYPE GetLength(int64_t* length) override;
    HRESULT STDMETHODCALLTYPE GetStreamCount(int32_t* count) override;
    HRESULT STDMETHODCALLTYPE GetFormatKind(uint32_t* kind) override;
    HRESULT STDMETHODCALLTYPE GetStreamFormats(VxStreamRecord* records, int32_t first,
                                               int32_t count) override;
    HRESULT STDMETHODCALLTYPE GetStreamType(int32_t index, uint32_t* type,
                                            uint32_t* subtype) override;
    HRESULT STDMETHODCALLTYPE CheckStreamType(int32_t index, uint32_t type,
                                              uint32_t* value) override;
    HRESULT STDMETHODCALLTYPE GetStream(IVxReadStream** out, uint32_t typeFilter, int32_t index,
                                        intptr_t a, intptr_t b, intptr_t c) override;
    HRESULT STDMETHODCALLTYPE PrepareStream(int32_t index, intptr_t a, intptr_t b,
                                            intptr_t c) override;
    HRESULT STDMETHODCALLTYPE GetMeta(IVxReadMeta** out) override;

    // The loaded movie, or null; for the file's own stream.
    IVxSWFFlashScript* Movie() const { return movie_; }

private:
    friend ComObject;
    void* FindInterface(REFIID riid);

    struct StreamEntry {
        uint32_t type;
        uint32_t subtype;
        int64_t length;
        CSWFReadVideoStream* stream;
    };
    static constexpr int32_t kMaxStreams = 1;

    HRESULT BuildStreamTable();
    bool ValidIndex(int32_t index) const { return index >= 0 && index < streamCount_; }
    // Makes the entry's stream object when it has none; false when none could be made.
    bool EnsureStream(int32_t index);

    CSWFReadFileClass* creator_; // not owned
    WCHAR path_[kPathCapacity] = {};
    IVxSWFFlashScript* movie_ = nullptr;
    int64_t movieLength_ = 0;
    StreamEntry streams_[kMaxStreams] = {};
    int32_t tableBuilt_ = 0;
    int32_t streamCount_ = 0;
    CSWFReadMeta* meta_ = nullptr; // made on the first GetMeta, owned
};
