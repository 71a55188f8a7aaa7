#include "plugin/CSWFReadFile.h"

#include "plugin/CSWFReadFileClass.h"
#include "plugin/CSWFReadMeta.h"
#include "plugin/CSWFReadVideoStream.h"
#include "plugin/Module.h"
#include "util/VxLang.h"
#include "util/VxText.h"

#include <cmath>
#include <cstring>

namespace {

constexpr double kTicksPerSecond = 10000000.0; // host time unit: 100 ns

} // namespace

CSWFReadFile::~CSWFReadFile() {
    for (StreamEntry& entry : streams_) delete entry.stream;
    delete meta_;
    Close();
}

void* CSWFReadFile::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IVxReadFile) return static_cast<IVxReadFile*>(this);
    return nullptr;
}

HRESULT STDMETHODCALLTYPE CSWFReadFile::GetClass(IVxReadFileClass** out) {
    if (!out) return E_POINTER;
    *out = creator_;
    if (!creator_) return E_NOTIMPL;
    creator_->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadFile::GetText(WCHAR* buffer, int32_t capacity, int32_t kind) {
    VxCopyText(buffer, capacity, nullptr); // cleared first, whatever follows
    if (kind == 1) {
        VxGetString(Module().language, IDS_FORMAT_NAME, buffer, capacity);
        return S_OK;
    }
    if (kind == 2) return movieLength_ > 0 ? S_OK : S_FALSE;
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE CSWFReadFile::GetStreamText(WCHAR* buffer, int32_t capacity,
                                                      int32_t streamIndex, int32_t kind) {
    if (streamIndex < 0 || streamIndex >= kMaxStreams) return E_INVALIDARG;
    VxCopyText(buffer, capacity, nullptr); // cleared first, whatever follows
    if (FAILED(BuildStreamTable()) || !ValidIndex(streamIndex)) return S_FALSE;
    const StreamEntry& entry = streams_[streamIndex];
    if (entry.type != VX_STREAM_VIDEO || !entry.stream) return E_FAIL;
    const HRESULT hr = entry.stream->PrepareFormat();
    if (FAILED(hr)) return hr;
    const BITMAPINFOHEADER& picture = entry.stream->PictureFormat();
    switch (kind) {
    case 1:
        VxGetString(Module().language, IDS_STREAM_NAME, buffer, capacity);
        return S_OK;
    case 2:
        VxVideo_GetAttribsText(&picture, buffer, capacity);
        return S_OK;
    case 3: {
        WCHAR format[64];
        VxGetString(Module().language, IDS_BITRATE, format, 64);
        const int64_t kbps =
            int64_t(picture.biWidth) * picture.biHeight * picture.biBitCount / 1000;
        VxPrintF(buffer, capacity, format, int32_t(kbps));
        return S_OK;
    }
    default:
        return S_FALSE;
    }
}

HRESULT STDMETHODCALLTYPE CSWFReadFile::CheckUse(intptr_t, int32_t size, int32_t kind) {
    if (kind != 1) return S_FALSE;
    return movieLength_ <= 0 || size < 8 ? S_FALSE : S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadFile::Reserved7(intptr_t, intptr_t, intptr_t, intptr_t) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFReadFile::Reserved8(uint32_t* value) {
    if (value) *value = 0;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFReadFile::Close() {
    if (movie_) movie_->Release();
    movie_ = nullptr;
    return S_OK;
}

int32_t STDMETHODCALLTYPE CSWFReadFile::IsClosed() {
    return movie_ == nullptr ? 1 : 0;
}

HRESULT STDMETHODCALLTYPE CSWFReadFile::Open(intptr_t, intptr_t) {
    if (movie_) Close();
    // The movie reads its file by a path in the process code page.
    char path[kPathCapacity * 4] = {};
    if (WideCharToMultiByte(CP_ACP, 0, path_, -1, path, sizeof(path), nullptr, nullptr) <= 0)
        path[0] = 0;
    path[kPathCapacity - 1] = 0; // the movie takes at most 259 bytes
    IVxSWFFlashScript* movie = nullptr;
    const HRESULT hr =
        CreateSWFObject(nullptr, IID_IVxSWFFlashScript, reinterpret_cast<void**>(&movie));
    if (FAILED(hr)) return hr;
    movie_ = movie;
    return movie_->Load(path);
}

HRESULT STDMETHODCALLTYPE CSWFReadFile::SetFileName(const WCHAR* path) {
    if (movie_) return E_FAIL;
    if (!VxCopyText(path_, kPathCapacity, path)) path_[0] = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadFile::GetFileName(WCHAR* buffer, int32_t capacity) {
    VxCopyText(buffer, capacity, path_);
    return S_OK;
}

HRESULT CSWFReadFile::BuildStreamTable() {
    if (tableBuilt_) return S_OK;
    if (!movie_) return E_FAIL;
    tableBuilt_ = 1;
    int32_t frameCount = 0, frameRate = 0;
    HRESULT hr = movie_->GetFrameCount(&frameCount);
    if (FAILED(hr)) return hr;
    hr = movie_->GetFrameRate(&frameRate);
    if (FAILED(hr)) return hr;
    // A movie whose rate reads as 0 has no playable length.
    movieLength_ =
        frameRate > 0 ? int64_t(double(frameCount) / frameRate * kTicksPerSecond + 0.5) : 0;
    streams_[0] = {VX_STREAM_VIDEO, 0, movieLength_, nullptr};
    streamCount_ = 1;
    return S_OK;
}

bool CSWFReadFile::EnsureStream(int32_t index) {
    StreamEntry& entry = streams_[index];
    if (entry.stream || entry.type != VX_STREAM_VIDEO) return true;
    auto* stream = new (std::nothrow) CSWFReadVideoStream(this);
    if (!stream) return false;
    if (FAILED(stream->Init(path_, index, entry.subtype, entry.type, entry.length))) {
        delete stream;
        return false;
    }
    entry.stream = stream;
    return true;
}

HRESULT STDMETHODCALLTYPE CSWFReadFile::GetLength(int64_t* length) {
    if (!length) return E_POINTER;
    const HRESULT hr = BuildStreamTable();
    *length = movieLength_;
    return hr;
}

HRESULT STDMETHODCALLTYPE CSWFReadFile::GetStreamCount(int32_t* count) {
    if (!count) return E_POINTER;
    const HRESULT hr = BuildStreamTable();
    *count = streamCount_;
    return hr;
}

HRESULT STDMETHODCALLTYPE CSWFReadFile::GetFormatKind(uint32_t* kind) {
    if (creator_)
        creator_->GetFormatKind(kind);
    else if (kind)
        *kind = 2;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadFile::GetStreamFormats(VxStreamRecord* records, int32_t first,
                                                         int32_t count) {
    if (FAILED(BuildStreamTable()) || first < 0 || count < 0 || first + count > streamCount_)
        return E_INVALIDARG;
    if (count > 0 && !records) return E_POINTER;
    HRESULT result = S_OK;
    for (int32_t i = first; i < first + count; ++i) {
        VxStreamRecord& record = records[i - first];
        if (!EnsureStream(i)) {
            result = E_OUTOFMEMORY;
            continue;
        }
        const StreamEntry& entry = streams_[i];
        record.streamType = entry.type;
        if (entry.type != VX_STREAM_VIDEO) continue;
        IVxReadVideoStream* video = nullptr;
        HRESULT hr =
            entry.stream->QueryInterface(IID_IVxReadVideoStream, reinterpret_cast<void**>(&video));
        if (FAILED(hr)) {
            result = hr;
            continue;
        }
        hr = video->GetFormat(record.pictureFormat, record.pictureCapacity, &record.pictureSize,
                              record.videoFormat, record.videoCapacity, &record.videoSize);
        if (FAILED(hr)) result = hr;
        // The record packs its frame count on a 4-byte boundary.
        int64_t frameCount = 0;
        hr = video->GetFrameCount(&frameCount);
        if (FAILED(hr)) result = hr;
        std::memcpy(&record.frameCount, &frameCount, sizeof(frameCount));
        video->Release();
    }
    return result;
}

HRESULT STDMETHODCALLTYPE CSWFReadFile::GetStreamType(int32_t index, uint32_t* type,
                                                      uint32_t* subtype) {
    BuildStreamTable();
    if (!ValidIndex(index)) return E_FAIL;
    if (type) *type = streams_[index].type;
    if (subtype) *subtype = streams_[index].subtype;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadFile::CheckStreamType(int32_t index, uint32_t type,
                                                        uint32_t* value) {
    BuildStreamTable();
    if (!ValidIndex(index) || type != streams_[0].type) return E_FAIL;
    if (value) *value = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadFile::GetStream(IVxReadStream** out, uint32_t typeFilter,
                                                  int32_t index, intptr_t, intptr_t, intptr_t) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (typeFilter != 0xFFFFFFFFu) {
        uint32_t value = 0;
        const HRESULT hr = CheckStreamType(index, typeFilter, &value);
        if (FAILED(hr)) return hr;
    }
    if (FAILED(BuildStreamTable()) || !ValidIndex(index)) return E_INVALIDARG;
    if (!EnsureStream(index)) return E_OUTOFMEMORY;
    const StreamEntry& entry = streams_[index];
    if (entry.type != VX_STREAM_VIDEO) return S_OK;
    IVxReadVideoStream* video = nullptr;
    HRESULT hr =
        entry.stream->QueryInterface(IID_IVxReadVideoStream, reinterpret_cast<void**>(&video));
    if (FAILED(hr)) return hr;
    hr = video->QueryInterface(IID_IVxReadStream, reinterpret_cast<void**>(out));
    video->Release();
    return hr;
}

HRESULT STDMETHODCALLTYPE CSWFReadFile::PrepareStream(int32_t index, intptr_t, intptr_t, intptr_t) {
    if (FAILED(BuildStreamTable()) || !ValidIndex(index)) return E_INVALIDARG;
    if (!EnsureStream(index)) return E_OUTOFMEMORY;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadFile::GetMeta(IVxReadMeta** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!meta_) meta_ = new (std::nothrow) CSWFReadMeta(this);
    if (!meta_) return E_OUTOFMEMORY;
    return meta_->QueryInterface(IID_IVxReadMeta, reinterpret_cast<void**>(out));
}
