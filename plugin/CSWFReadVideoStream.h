// The movie's video stream: its picture format, rate, count and length, and rendered
// frames lent to the host under the frame lock.
#pragma once

#include "platform/ComObject.h"
#include "bridge/VxSWFPrivate.h"
#include "include/VxSWFPlugin.h"

#include <cstdint>

class CSWFReadFile;

// Counts are applied to the owning file too; the stream dies with its file.  IUnknown
// answers through both tables.
class CSWFReadVideoStream final : public ComObject<CSWFReadVideoStream, OwnerCount,
                                                   IVxReadVideoStream, IVxAdvancedVideoScaling> {
public:
    explicit CSWFReadVideoStream(CSWFReadFile* owner);
    ~CSWFReadVideoStream();

    // Creates the frame lock and takes the stream's place in its file.
    HRESULT Init(const WCHAR* path, int32_t index, uint32_t subtype, uint32_t type, int64_t length);
    // Reads bounds, rate and count from the movie once; E_FAIL without a movie.
    HRESULT PrepareFormat();
    const BITMAPINFOHEADER& PictureFormat() const { return picture_; }

    // IVxReadStream
    HRESULT STDMETHODCALLTYPE GetClass(IVxReadFileClass** out) override;
    IVxReadFile* STDMETHODCALLTYPE GetFile() override;
    HRESULT STDMETHODCALLTYPE Reserved5(uint32_t* value) override;
    HRESULT STDMETHODCALLTYPE GetStreamInfo(uint32_t* type, uint32_t* subtype,
                                            int32_t* index) override;
    HRESULT STDMETHODCALLTYPE GetLength(int64_t* length) override;
    HRESULT STDMETHODCALLTYPE GetStart(int64_t* start) override;
    HRESULT STDMETHODCALLTYPE SetOwnerThread(uint32_t threadId) override;
    HRESULT STDMETHODCALLTYPE Reserved10() override;

    // IVxReadVideoStream
    HRESULT STDMETHODCALLTYPE Reserved11() override;
    HRESULT STDMETHODCALLTYPE GetFrameRate(double* rate) override;
    HRESULT STDMETHODCALLTYPE GetFrameCount(int64_t* count) override;
    HRESULT STDMETHODCALLTYPE GetFormat(void* picture, int32_t pictureCapacity,
                                        int32_t* pictureSize, void* video, int32_t videoCapacity,
                                        int32_t* videoSize) override;
    HRESULT STDMETHODCALLTYPE ReadFrame(int64_t frame, void** pixels, int32_t* stride,
                                        const BITMAPINFOHEADER** pictureFormat,
                                        const VxVideoFormat** videoFormat, int64_t* frameRead,
                                        uint32_t flags, intptr_t unused) override;
    HRESULT STDMETHODCALLTYPE EndRead(intptr_t value) override;
    HRESULT STDMETHODCALLTYPE Reserved17(intptr_t a, intptr_t b, intptr_t c) override;
    HRESULT STDMETHODCALLTYPE Reserved18(intptr_t a, intptr_t b) override;
    HRESULT STDMETHODCALLTYPE Reserved19(intptr_t a, intptr_t b, intptr_t c) override;
    HRESULT STDMETHODCALLTYPE SetZoom(double factor) override;
    HRESULT STDMETHODCALLTYPE GetZoom(double* factor) override;

    // IVxAdvancedVideoScaling
    HRESULT STDMETHODCALLTYPE Reserved3() override;
    HRESULT STDMETHODCALLTYPE Reserved4() override;
    HRESULT STDMETHODCALLTYPE SetStretch(double factor) override;
    HRESULT STDMETHODCALLTYPE GetStretch(double* factor) override;

private:
    friend ComObject;
    friend OwnerCount;
    IUnknown* CountOwner() const;
    void* FindInterface(REFIID riid);

    // Stretch 0 counts as 1.
    double EffectiveStretch() const { return stretch_ == 0.0 ? 1.0 : stretch_; }
    // Recomputes the picture format from the bounds and the two factors.
    void ComputePictureFormat(double zoom, double stretch);
    HRESULT SetFactor(double& factor, double value);
    // Draws the current frame of the movie into the raster.
    HRESULT DrawFrame(IVxSWFFlashScript* movie);
    HRESULT EnsureRenderObjects();

    CSWFReadFile* owner_; // not owned: the stream lives as long as its file
    DWORD ownerThread_ = 0;
    HANDLE frameLock_ = nullptr;
    int32_t index_ = -1;
    uint32_t subtype_ = 0xFFFFFFFFu;
    uint32_t type_ = VX_STREAM_VIDEO;
    int64_t length_ = -1;
    double frameRate_ = 0;
    int64_t firstFrame_ = 0;
    int64_t frameCount_ = 0;
    bool formatPrepared_ = false;
    BITMAPINFOHEADER picture_ = {};
    VxVideoFormat video_ = {};
    float bounds_[3] = {};
    double zoom_ = 1.0;
    double stretch_ = 1.0;
    IVxSWFRenderContext* context_ = nullptr;
    IVxSWFRaster* raster_ = nullptr;
};
