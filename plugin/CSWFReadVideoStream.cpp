#include "plugin/CSWFReadVideoStream.h"

#include "plugin/CSWFReadFile.h"

#include <cstring>

namespace {

constexpr uint32_t kFlagSkipFrame = 2;
constexpr int32_t kPictureFormatSize = sizeof(BITMAPINFOHEADER);
constexpr int32_t kVideoFormatSize = sizeof(VxVideoFormat);

// Releases the frame lock on the way out unless told to keep it.
class LockGuard {
public:
    explicit LockGuard(HANDLE mutex) : mutex_(mutex) { WaitForSingleObject(mutex_, INFINITE); }
    ~LockGuard() {
        if (mutex_) ReleaseMutex(mutex_);
    }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;
    void Keep() { mutex_ = nullptr; }

private:
    HANDLE mutex_;
};

// Truncates toward zero; out-of-range and NaN sizes become 0 rather than undefined.
LONG PictureDimension(double value) {
    constexpr double kLargest = 1 << 30;
    return value >= 0 && value < kLargest ? LONG(value) : 0;
}

template <class T> void ReleaseObject(T*& object) {
    if (object) object->Release();
    object = nullptr;
}

} // namespace

CSWFReadVideoStream::CSWFReadVideoStream(CSWFReadFile* owner)
    : owner_(owner), ownerThread_(GetCurrentThreadId()) {}

CSWFReadVideoStream::~CSWFReadVideoStream() {
    ReleaseObject(context_);
    ReleaseObject(raster_);
    if (frameLock_) CloseHandle(frameLock_);
}

HRESULT CSWFReadVideoStream::Init(const WCHAR*, int32_t index, uint32_t subtype, uint32_t type,
                                  int64_t length) {
    frameLock_ = CreateMutexW(nullptr, FALSE, nullptr);
    if (!frameLock_) return E_OUTOFMEMORY;
    index_ = index;
    subtype_ = subtype;
    type_ = type;
    length_ = length;
    formatPrepared_ = false;
    frameRate_ = 0;
    firstFrame_ = 0;
    frameCount_ = 0;
    return S_OK;
}

HRESULT CSWFReadVideoStream::PrepareFormat() {
    if (formatPrepared_) return S_OK;
    IVxSWFFlashScript* movie = owner_ ? owner_->Movie() : nullptr;
    if (!movie) return E_FAIL;
    {
        LockGuard lock(frameLock_);
        movie->GetBounds(bounds_);
        ComputePictureFormat(1.0, 1.0); // the factors enter at the next GetFormat
        int32_t rate = 0, count = 0;
        movie->GetFrameRate(&rate);
        movie->GetFrameCount(&count);
        frameRate_ = rate;
        frameCount_ = count;
    }
    video_ = {};
    video_.size = kVideoFormatSize;
    video_.minusOne = -1;
    video_.frameRate = frameRate_;
    video_.pixelAspect = 1.0;
    video_.hasAlpha = picture_.biBitCount == 32 ? 1 : 0;
    formatPrepared_ = true;
    return S_OK;
}

void CSWFReadVideoStream::ComputePictureFormat(double zoom, double stretch) {
    // Both factors act on the whole-pixel movie size; stretch widens only.
    const double width = double(PictureDimension(bounds_[0])) * zoom * stretch;
    const double height = double(PictureDimension(bounds_[1])) * zoom;
    picture_ = {};
    picture_.biSize = kPictureFormatSize;
    picture_.biWidth = PictureDimension(width);
    picture_.biHeight = PictureDimension(height);
    picture_.biPlanes = 1;
    picture_.biBitCount = 32;
    picture_.biCompression = BI_RGB;
    picture_.biSizeImage = DWORD(picture_.biWidth) * DWORD(picture_.biHeight) * 4;
}

IUnknown* CSWFReadVideoStream::CountOwner() const {
    return owner_;
}

void* CSWFReadVideoStream::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IVxReadVideoStream || riid == IID_IVxReadStream)
        return static_cast<IVxReadVideoStream*>(this);
    if (riid == IID_IVxAdvancedVideoScaling) return static_cast<IVxAdvancedVideoScaling*>(this);
    return nullptr;
}

HRESULT STDMETHODCALLTYPE CSWFReadVideoStream::GetClass(IVxReadFileClass** out) {
    if (!owner_) {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    return owner_->GetClass(out);
}

IVxReadFile* STDMETHODCALLTYPE CSWFReadVideoStream::GetFile() {
    if (owner_) owner_->AddRef();
    return owner_;
}

HRESULT STDMETHODCALLTYPE CSWFReadVideoStream::Reserved5(uint32_t* value) {
    if (value) *value = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadVideoStream::GetStreamInfo(uint32_t* type, uint32_t* subtype,
                                                             int32_t* index) {
    if (type) *type = type_;
    if (subtype) *subtype = subtype_;
    if (index) *index = index_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadVideoStream::GetLength(int64_t* length) {
    if (!length) return E_POINTER;
    *length = length_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadVideoStream::GetStart(int64_t* start) {
    if (!start) return E_POINTER;
    *start = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadVideoStream::SetOwnerThread(uint32_t threadId) {
    ownerThread_ = threadId;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadVideoStream::Reserved10() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadVideoStream::Reserved11() {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFReadVideoStream::GetFrameRate(double* rate) {
    if (!rate) return E_POINTER;
    *rate = frameRate_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadVideoStream::GetFrameCount(int64_t* count) {
    if (!count) return E_POINTER;
    *count = frameCount_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadVideoStream::GetFormat(void* picture, int32_t pictureCapacity,
                                                         int32_t* pictureSize, void* video,
                                                         int32_t videoCapacity,
                                                         int32_t* videoSize) {
    HRESULT hr = PrepareFormat();
    if (FAILED(hr)) return hr;
    LockGuard lock(frameLock_);
    ComputePictureFormat(zoom_, EffectiveStretch());
    if (pictureSize) *pictureSize = kPictureFormatSize;
    if (picture) {
        if (pictureCapacity < kPictureFormatSize)
            hr = E_OUTOFMEMORY;
        else
            std::memcpy(picture, &picture_, kPictureFormatSize);
    }
    if (videoSize) *videoSize = kVideoFormatSize;
    if (video) {
        if (videoCapacity < kVideoFormatSize)
            hr = E_OUTOFMEMORY;
        else
            std::memcpy(video, &video_, kVideoFormatSize);
    }
    return hr;
}

HRESULT CSWFReadVideoStream::EnsureRenderObjects() {
    if (!raster_ &&
        FAILED(CreateSWFObject(nullptr, IID_IVxSWFRaster, reinterpret_cast<void**>(&raster_))))
        return E_OUTOFMEMORY;
    const HRESULT hr = raster_->Create(picture_.biWidth, picture_.biHeight, 4, 1);
    if (FAILED(hr)) return hr;
    if (!context_ && FAILED(CreateSWFObject(nullptr, IID_IVxSWFRenderContext,
                                            reinterpret_cast<void**>(&context_))))
        return E_OUTOFMEMORY;
    return S_OK;
}

HRESULT CSWFReadVideoStream::DrawFrame(IVxSWFFlashScript* movie) {
    try {
        context_->SetRaster(raster_);
        context_->Reset();
        context_->Clear(IVxSWFRenderContext::kClearTransparent); // frames start empty
        context_->PushTransform();
        context_->Scale(float(zoom_ * EffectiveStretch()), float(zoom_), 1.0f);
        movie->Render(context_);
        context_->PopTransform();
        context_->Finish();
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadVideoStream::ReadFrame(
    int64_t frame, void** pixels, int32_t* stride, const BITMAPINFOHEADER** pictureFormat,
    const VxVideoFormat** videoFormat, int64_t* frameRead, uint32_t flags, intptr_t) {
    LockGuard lock(frameLock_);
    if (frameRead) *frameRead = -1;
    if (flags & kFlagSkipFrame) return S_FALSE;
    // A host that reads before asking for formats gets them prepared now; a movie that
    // cannot give them has no frames.
    PrepareFormat();
    if (frameCount_ <= firstFrame_) return S_FALSE;
    IVxSWFFlashScript* movie = owner_ ? owner_->Movie() : nullptr;
    if (!movie) return VX_E_NOTLOADED;
    HRESULT hr = movie->GotoFrame(frame);
    if (hr != S_OK) return hr;
    if (frameRead) *frameRead = frame;
    if (pictureFormat) *pictureFormat = &picture_;
    if (videoFormat) *videoFormat = &video_;
    // The picture keeps the size the last GetFormat gave it; the factors set since then
    // scale the drawing at once and the picture at the next GetFormat.
    hr = EnsureRenderObjects();
    if (FAILED(hr)) return hr;
    hr = DrawFrame(movie);
    if (FAILED(hr)) return hr;
    if (pixels) {
        hr = raster_->GetRowAddress(0, pixels);
        if (FAILED(hr)) return hr;
    }
    if (stride) {
        int32_t pitch = 0;
        hr = raster_->GetPitch(&pitch);
        if (FAILED(hr)) return hr;
        *stride = -pitch;
    }
    lock.Keep(); // held until EndRead
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadVideoStream::EndRead(intptr_t) {
    ReleaseMutex(frameLock_);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadVideoStream::Reserved17(intptr_t, intptr_t, intptr_t) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFReadVideoStream::Reserved18(intptr_t, intptr_t) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CSWFReadVideoStream::Reserved19(intptr_t, intptr_t, intptr_t) {
    return E_NOTIMPL;
}

HRESULT CSWFReadVideoStream::SetFactor(double& factor, double value) {
    LockGuard lock(frameLock_);
    if (value != factor) ReleaseObject(raster_); // made again at the next frame
    factor = value;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadVideoStream::SetZoom(double factor) {
    return SetFactor(zoom_, factor);
}

HRESULT STDMETHODCALLTYPE CSWFReadVideoStream::GetZoom(double* factor) {
    if (!factor) return E_POINTER;
    *factor = zoom_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadVideoStream::Reserved3() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadVideoStream::Reserved4() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSWFReadVideoStream::SetStretch(double factor) {
    return SetFactor(stretch_, factor);
}

HRESULT STDMETHODCALLTYPE CSWFReadVideoStream::GetStretch(double* factor) {
    if (!factor) return E_POINTER;
    *factor = stretch_;
    return S_OK;
}
