// The host-facing contract of the Shockwave Flash reader plug-in: class identifiers,
// interface identifiers, interfaces in their fixed slot order, data records and codes.
// A host compiles against this header (on Windows with the system headers, elsewhere
// with the platform stand-in) and talks to the library only through DllGetClassObject.
//
// Conventions for hosts:
//  - every text exchanged with the plug-in is a UTF-16 WCHAR buffer with its capacity
//    counted in characters (terminator included);
//  - host times are signed 64-bit counts of 100 ns; frame numbers are signed 64-bit from 0;
//  - slots named ReservedN keep the table layout; they answer fixed constants.
#pragma once

#include "platform/Win32.h"

#include <cstdint>

// ---- Exported entry points --------------------------------------------------------------

extern "C" {
typedef HRESULT(STDMETHODCALLTYPE* PFN_DllGetClassObject)(REFCLSID clsid, REFIID iid,
                                                          void** object);
typedef HRESULT(STDMETHODCALLTYPE* PFN_DllCanUnloadNow)();
typedef void(STDMETHODCALLTYPE* PFN_DllInitClasses)(uint32_t value);
}

// ---- Codes --------------------------------------------------------------------------------

// No host callback is stored, or no summary data is available.
#define VX_E_NOCALLBACK ((HRESULT)0x8004E00AL)
// The movie is not loaded, or the companion metadata file is missing.
#define VX_E_NOTLOADED ((HRESULT)0x8004E007L)
// Seeking a frame failed.
#define VX_E_SEEKFAILED ((HRESULT)0x8004E00BL)
// A list stream has no list.
#define VX_E_NOLIST ((HRESULT)0x800A0026L)

// ---- Class identifiers ----------------------------------------------------------------------

// The plug-in class: asked for IVxReadFileClass or IVxRenderFileClass.
inline constexpr CLSID CLSID_VxSWFPlugin = {
    0x13EEFCAF, 0x678C, 0x4C6D, {0xAA, 0xC1, 0x00, 0xAA, 0x00, 0x6B, 0xA2, 0xBA}};
// The plug-in information class: asked for IVxUnsharedFIOPluginInfo.
inline constexpr CLSID CLSID_VxSWFPluginInfo = {
    0xF6E48972, 0x515B, 0x4A5E, {0xB3, 0x16, 0xA4, 0x6A, 0x03, 0xC9, 0xC3, 0xC0}};

// ---- Interface identifiers --------------------------------------------------------------------

inline constexpr IID IID_IVxUnsharedFIOPluginInfo = {
    0x404E18A7, 0xC288, 0x4499, {0x8E, 0x42, 0x33, 0xFE, 0xCF, 0xA1, 0x64, 0x2C}};
inline constexpr IID IID_IVxReadFileClass = {
    0x39D2F263, 0x7655, 0x11D3, {0xA4, 0x83, 0x00, 0x10, 0x5A, 0x24, 0xAA, 0x37}};
inline constexpr IID IID_IVx_FileCustom = {
    0xF6DB9C19, 0xE353, 0x4123, {0xB9, 0xB3, 0xD7, 0x56, 0x93, 0xFE, 0xE8, 0xB7}};
inline constexpr IID IID_IVx_FileCustom2 = {
    0xD597E79D, 0x6C91, 0x43AE, {0xA0, 0xE8, 0x00, 0xB4, 0x32, 0x01, 0x8B, 0xD8}};
inline constexpr IID IID_IVxReadFile = {
    0x8632B6A1, 0x7717, 0x11D3, {0xA4, 0x83, 0x00, 0x10, 0x5A, 0x24, 0xAA, 0x37}};
inline constexpr IID IID_IVxReadStream = {
    0x60FD1C41, 0x7825, 0x11D3, {0xA4, 0x83, 0x00, 0x10, 0x5A, 0x24, 0xAA, 0x37}};
inline constexpr IID IID_IVxReadVideoStream = {
    0x60FD1C42, 0x7825, 0x11D3, {0xA4, 0x83, 0x00, 0x10, 0x5A, 0x24, 0xAA, 0x37}};
inline constexpr IID IID_IVxAdvancedVideoScaling = {
    0x38394209, 0x31DD, 0x46FC, {0xAA, 0x36, 0x5D, 0x15, 0x5A, 0x5F, 0xF1, 0x92}};
inline constexpr IID IID_IVxReadMeta = {
    0x001420E1, 0x938C, 0x11D3, {0xA4, 0x83, 0x00, 0x10, 0x5A, 0x24, 0xAA, 0x37}};
inline constexpr IID IID_IVxReadMediaMgrMeta = {
    0x50FEB89B, 0x8026, 0x4FCC, {0xA2, 0xCC, 0x85, 0x5B, 0xCF, 0x8F, 0xF7, 0x4F}};
inline constexpr IID IID_IVxRenderFileClass = {
    0x39D2F262, 0x7655, 0x11D3, {0xA4, 0x83, 0x00, 0x10, 0x5A, 0x24, 0xAA, 0x37}};
// The three extended render-file class identifiers are answered together.
inline constexpr IID IID_IVxRenderFileClassEx = {
    0xA8C12A95, 0xF198, 0x4D13, {0x98, 0xA4, 0x91, 0x4C, 0xCB, 0x4A, 0x6D, 0x2B}};
inline constexpr IID IID_IVxRenderFileClassEx2 = {
    0x62C30A58, 0xEA27, 0x4F92, {0x90, 0x69, 0x8E, 0x32, 0x9B, 0x35, 0x0E, 0x24}};
inline constexpr IID IID_IVxRenderFileClassEx3 = {
    0x3A8835EB, 0xF630, 0x4A44, {0xBC, 0x28, 0xE1, 0x51, 0xCB, 0x73, 0xD2, 0x4E}};
inline constexpr IID IID_IVxFIO_TemplateInfo_Renderer = {
    0x0EC75FC3, 0x7DCA, 0x11D4, {0xB2, 0x6A, 0x00, 0xA0, 0xD2, 0x18, 0x83, 0x87}};
inline constexpr IID IID_IVxFIO_PrivateCopyPreset = {
    0x0EC75FC2, 0x7DCA, 0x11D4, {0xB2, 0x6A, 0x00, 0xA0, 0xD2, 0x18, 0x83, 0x87}};
inline constexpr IID IID_IVxRenderMetaSupport = {
    0xBA95F583, 0xFA5C, 0x436E, {0xB4, 0x5A, 0x0B, 0x76, 0xB6, 0x3B, 0x01, 0x0F}};
inline constexpr IID IID_IVxRenderMetaSupport2 = {
    0x6084E4B3, 0x9479, 0x4545, {0xB4, 0x69, 0xE2, 0xC0, 0x03, 0x2F, 0x20, 0xC3}};
inline constexpr IID IID_IVxRenderFile = {
    0x8400C581, 0x86FC, 0x11D3, {0xA4, 0x83, 0x00, 0x10, 0x5A, 0x24, 0xAA, 0x37}};
// The host's settings interface, asked of the object handed to SetHost.
inline constexpr IID IID_IVxHostSettings = {
    0xB89ED2E1, 0xD8AB, 0x11D3, {0xA4, 0x84, 0x00, 0x10, 0x5A, 0x24, 0xAA, 0x37}};

// ---- Records ----------------------------------------------------------------------------------

// Stream type of the one stream a movie has.
#define VX_STREAM_VIDEO 2u

// Filled by IVxReadFile::GetStreamFormats, one per stream; the host owns the buffers.
// Eleven 32-bit words (44 bytes) on a 32-bit build, where the frame count sits on a
// 4-byte boundary; 64-bit builds keep natural alignment.
#if UINTPTR_MAX == 0xFFFFFFFFu
#pragma pack(push, 4)
#endif
struct VxStreamRecord {
    uint32_t streamType;
    void* pictureFormat; // BITMAPINFOHEADER buffer
    int32_t pictureCapacity;
    int32_t pictureSize; // written back
    void* videoFormat;   // VxVideoFormat buffer
    int32_t videoCapacity;
    int32_t videoSize; // written back
    int64_t frameCount;
    uint32_t reserved[2]; // left untouched
};
#if UINTPTR_MAX == 0xFFFFFFFFu
#pragma pack(pop)
static_assert(sizeof(VxStreamRecord) == 44);
#endif

// The 64-byte video format record (little-endian).
struct VxVideoFormat {
    uint32_t size;    // 64
    int32_t minusOne; // -1
    uint32_t reserved0[2];
    double frameRate;   // frames per second
    double pixelAspect; // 1.0
    double reserved1;
    uint32_t hasAlpha; // 1 for 32-bit pictures
    uint32_t reserved2;
    uint8_t reserved3[16];
};
static_assert(sizeof(VxVideoFormat) == 64);

// ---- Host-side interfaces the plug-in calls -----------------------------------------------------

// Handed to IVxReadFileClass::SetHostCallback; QueryHost calls slot 15.
struct IVxReadHostCallback : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved11() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved12() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved13() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved14() = 0;
    // 15: answers a host value for the given identifier.
    virtual HRESULT STDMETHODCALLTYPE QueryValue(uint32_t* value, const GUID* id) = 0;
};

// Asked of the render-file class's host object (IID_IVxHostSettings).
struct IVxHostSettings : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    // 7: reads a setting into value; non-zero when the setting exists.  Code 10001 is the
    // host's Windows language id.
    virtual int32_t STDMETHODCALLTYPE GetSetting(uint32_t code, void* value, uint32_t size) = 0;
};

// The object handed to IVxRenderFileClass::SetHost; SendPresetId calls slot 14.
struct IVxRenderHost : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved11() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved12() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved13() = 0;
    // 14: receives the plug-in's preset identifier.
    virtual HRESULT STDMETHODCALLTYPE ReceivePresetId(uint32_t value, const GUID* presetId) = 0;
};

// ---- Plug-in interfaces -----------------------------------------------------------------------

struct IVxReadFile;
struct IVxReadStream;
struct IVxReadMeta;
struct IVxRenderFile;
struct IVxRenderFileClass;

struct IVxUnsharedFIOPluginInfo : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Init(uint32_t a, uint32_t b, uint32_t c) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCount(int32_t* count) = 0;
    // Each non-null output is filled from the plug-in's one description row.
    virtual HRESULT STDMETHODCALLTYPE GetInfo(int32_t index, CLSID* clsid, WCHAR* name,
                                              int32_t nameCapacity, uint32_t* flags,
                                              uint32_t* value2, uint32_t* capabilities,
                                              uint32_t* value4, uint32_t* value5, uint32_t* value6,
                                              uint32_t* value7, uint32_t* value8) = 0;
};

struct IVxReadFileClass : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetHostValue(uint32_t value) = 0;
    virtual uint32_t STDMETHODCALLTYPE GetHostValue() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetHostCallback(IVxReadHostCallback* callback) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFormatId(GUID* id) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFormatKind(uint32_t* kind) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFlags(uint32_t* flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE QueryHost(uint32_t* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDescription(WCHAR* title, int32_t titleCapacity,
                                                     WCHAR* pattern, int32_t patternCapacity,
                                                     WCHAR* name, int32_t nameCapacity) = 0;
    // S_OK when the first bytes (at least 9) start an uncompressed movie.
    virtual HRESULT STDMETHODCALLTYPE CheckFormat(intptr_t unused, const uint8_t* header,
                                                  int32_t headerLength, intptr_t unused2) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved12(intptr_t a, intptr_t b) = 0; // E_FAIL
    // Closes `file` (the plug-in reads by path only) and makes an open file for `path`.
    virtual HRESULT STDMETHODCALLTYPE CreateReadFile(IVxReadFile** out, HANDLE file,
                                                     const WCHAR* path, int32_t openNow) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved14(intptr_t a, intptr_t b) = 0; // E_NOTIMPL
};

struct IVx_FileCustom : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0; // S_OK
    virtual HRESULT STDMETHODCALLTYPE ShowAbout(HWND parent) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;           // S_FALSE
    virtual HRESULT STDMETHODCALLTYPE Reserved6(intptr_t a) = 0; // E_NOTIMPL
};

struct IVx_FileCustom2 : IVx_FileCustom {
    virtual HRESULT STDMETHODCALLTYPE Reserved7(intptr_t a, intptr_t b, intptr_t c,
                                                intptr_t d) = 0; // E_NOTIMPL
};

struct IVxReadFile : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetClass(IVxReadFileClass** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetText(WCHAR* buffer, int32_t capacity, int32_t kind) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStreamText(WCHAR* buffer, int32_t capacity,
                                                    int32_t streamIndex, int32_t kind) = 0;
    virtual HRESULT STDMETHODCALLTYPE CheckUse(intptr_t a, int32_t size, int32_t kind) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved7(intptr_t a, intptr_t b, intptr_t c,
                                                intptr_t d) = 0;      // E_NOTIMPL
    virtual HRESULT STDMETHODCALLTYPE Reserved8(uint32_t* value) = 0; // 0, E_NOTIMPL
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    virtual int32_t STDMETHODCALLTYPE IsClosed() = 0; // non-zero while no movie is loaded
    virtual HRESULT STDMETHODCALLTYPE Open(intptr_t a, intptr_t b) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetFileName(const WCHAR* path) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFileName(WCHAR* buffer, int32_t capacity) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetLength(int64_t* length) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStreamCount(int32_t* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFormatKind(uint32_t* kind) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStreamFormats(VxStreamRecord* records, int32_t first,
                                                       int32_t count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStreamType(int32_t index, uint32_t* type,
                                                    uint32_t* subtype) = 0;
    virtual HRESULT STDMETHODCALLTYPE CheckStreamType(int32_t index, uint32_t type,
                                                      uint32_t* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStream(IVxReadStream** out, uint32_t typeFilter,
                                                int32_t index, intptr_t a, intptr_t b,
                                                intptr_t c) = 0;
    virtual HRESULT STDMETHODCALLTYPE PrepareStream(int32_t index, intptr_t a, intptr_t b,
                                                    intptr_t c) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMeta(IVxReadMeta** out) = 0;
};

struct IVxReadStream : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetClass(IVxReadFileClass** out) = 0;
    virtual IVxReadFile* STDMETHODCALLTYPE GetFile() = 0;             // AddRef'ed
    virtual HRESULT STDMETHODCALLTYPE Reserved5(uint32_t* value) = 0; // 0, S_OK
    virtual HRESULT STDMETHODCALLTYPE GetStreamInfo(uint32_t* type, uint32_t* subtype,
                                                    int32_t* index) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetLength(int64_t* length) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStart(int64_t* start) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetOwnerThread(uint32_t threadId) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0; // S_OK
};

struct IVxReadVideoStream : IVxReadStream {
    virtual HRESULT STDMETHODCALLTYPE Reserved11() = 0; // E_NOTIMPL
    virtual HRESULT STDMETHODCALLTYPE GetFrameRate(double* rate) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFrameCount(int64_t* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFormat(void* picture, int32_t pictureCapacity,
                                                int32_t* pictureSize, void* video,
                                                int32_t videoCapacity, int32_t* videoSize) = 0;
    // On S_OK the frame lock stays held and the lent pixels (row 0 at *pixels, rows
    // *stride bytes apart, negative) stay valid until EndRead.
    virtual HRESULT STDMETHODCALLTYPE ReadFrame(int64_t frame, void** pixels, int32_t* stride,
                                                const BITMAPINFOHEADER** pictureFormat,
                                                const VxVideoFormat** videoFormat,
                                                int64_t* frameRead, uint32_t flags,
                                                intptr_t unused) = 0;
    virtual HRESULT STDMETHODCALLTYPE EndRead(intptr_t value) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved17(intptr_t a, intptr_t b, intptr_t c) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved18(intptr_t a, intptr_t b) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved19(intptr_t a, intptr_t b, intptr_t c) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetZoom(double factor) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetZoom(double* factor) = 0;
};

struct IVxAdvancedVideoScaling : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0; // S_OK
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0; // S_OK
    virtual HRESULT STDMETHODCALLTYPE SetStretch(double factor) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStretch(double* factor) = 0;
};

struct IVxReadMeta : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3(intptr_t a, intptr_t b) = 0; // E_NOTIMPL
    virtual HRESULT STDMETHODCALLTYPE Reserved4(intptr_t a, intptr_t b) = 0; // E_NOTIMPL
    virtual HRESULT STDMETHODCALLTYPE Reserved5(intptr_t a, intptr_t b) = 0; // E_NOTIMPL
    virtual HRESULT STDMETHODCALLTYPE GetSummaryItem(uint32_t id, WCHAR* buffer,
                                                     int32_t capacity) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSummaryStream(IStream** out) = 0;
};

struct IVxReadMediaMgrMeta : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetMediaMgrStream(IStream** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMediaMgrInfo(uint32_t* header0, uint32_t* header1,
                                                      uint32_t* header2) = 0;
};

struct IVxRenderFileClass : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetHostValue(uint32_t value) = 0;
    virtual uint32_t STDMETHODCALLTYPE GetHostValue() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetHost(IUnknown* host) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetHost(IUnknown** host) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTemplateId(GUID* id) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved8(uint32_t* value) = 0; // 0, S_OK
    virtual HRESULT STDMETHODCALLTYPE GetFlags(uint32_t* flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE SendPresetId(uint32_t value) = 0;
    // Clears each non-null buffer; S_OK.
    virtual HRESULT STDMETHODCALLTYPE GetTexts(WCHAR* a, int32_t aCapacity, WCHAR* b,
                                               int32_t bCapacity, WCHAR* c, int32_t cCapacity) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved12() = 0; // E_NOTIMPL
    // CreateRenderFile(out, path, a, b, 0).
    virtual HRESULT STDMETHODCALLTYPE CreateRenderFileDefault(IVxRenderFile** out,
                                                              const WCHAR* path, intptr_t a,
                                                              intptr_t b) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved14(uint32_t* value) = 0;                 // 0
    virtual HRESULT STDMETHODCALLTYPE Reserved15(WCHAR* buffer, int32_t capacity) = 0; // cleared
    virtual HRESULT STDMETHODCALLTYPE Reserved16(WCHAR* buffer, int32_t capacity) = 0; // cleared
    virtual HRESULT STDMETHODCALLTYPE Reserved17() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved18(uint32_t* value) = 0; // 0
    virtual HRESULT STDMETHODCALLTYPE Reserved19() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved20() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved21() = 0;
    virtual int32_t STDMETHODCALLTYPE Reserved22() = 0; // 1
    virtual HRESULT STDMETHODCALLTYPE Reserved23() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved24(uint32_t* value) = 0; // 0
    virtual HRESULT STDMETHODCALLTYPE Reserved25() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved26() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved27() = 0;                // S_OK
    virtual HRESULT STDMETHODCALLTYPE Reserved28(uint32_t* value) = 0; // 0
    virtual HRESULT STDMETHODCALLTYPE Reserved29() = 0;
    virtual int32_t STDMETHODCALLTYPE Reserved30() = 0; // 1
    virtual HRESULT STDMETHODCALLTYPE ShowAbout(HWND parent) = 0;
};

struct IVxRenderFileClassEx : IVxRenderFileClass {
    virtual HRESULT STDMETHODCALLTYPE Reserved32() = 0; // E_NOTIMPL
};

struct IVxRenderFileClassEx2 : IVxRenderFileClassEx {
    virtual HRESULT STDMETHODCALLTYPE Reserved33() = 0; // E_NOTIMPL
};

struct IVxRenderFileClassEx3 : IVxRenderFileClassEx2 {
    virtual HRESULT STDMETHODCALLTYPE CreateRenderFile(IVxRenderFile** out, const WCHAR* path,
                                                       intptr_t a, intptr_t b, uint32_t value) = 0;
};

struct IVxFIO_TemplateInfo_Renderer : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3(WCHAR* buffer, int32_t capacity) = 0; // cleared
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
};

struct IVxFIO_PrivateCopyPreset : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
};

struct IVxRenderMetaSupport : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0; // S_OK
    virtual int32_t STDMETHODCALLTYPE Reserved4() = 0; // 1
};

struct IVxRenderMetaSupport2 : IVxRenderMetaSupport {
    virtual HRESULT STDMETHODCALLTYPE GetMetaKinds(uint32_t* a, uint32_t* kinds) = 0;
};

struct IVxRenderFile : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetClass(IVxRenderFileClass** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    virtual int32_t STDMETHODCALLTYPE IsClosed() = 0;
    virtual HRESULT STDMETHODCALLTYPE Open(intptr_t a, intptr_t b) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetFileName(const WCHAR* path) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetFileName(WCHAR* buffer, int32_t capacity) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClassStrict(IVxRenderFileClass** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetObjectCount(int32_t* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStreamRecords(VxStreamRecord* records, int32_t first,
                                                       int32_t count) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetStreamRecords(const VxStreamRecord* records,
                                                       int32_t count) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved13() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved14() = 0;
    virtual HRESULT STDMETHODCALLTYPE AddObject(IUnknown* object, intptr_t unused) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetMetaSource(IUnknown* source) = 0;
    virtual HRESULT STDMETHODCALLTYPE WriteMeta(intptr_t unused) = 0;
    virtual HRESULT STDMETHODCALLTYPE WriteMetaFrom(uint32_t value) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved19() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved20() = 0;
};

// ---- Companion metadata -------------------------------------------------------------------
// The host keeps descriptive metadata of a movie in a companion file beside it (layout in
// docs/metadata-format.md).  IVxRenderFile::WriteMeta writes that file from the object the
// host handed to SetMetaSource, which must answer IID_IVxMetaSource; IVxReadMeta serves it
// back.

// Metadata kinds, as reported by IVxRenderMetaSupport2::GetMetaKinds.
#define VX_META_SUMMARY 0x0001u  // summary: text items by numeric id
#define VX_META_MEDIAMGR 0x2000u // media-manager data: a header and opaque entries

#pragma pack(push, 4)
// A summary entry as served by the summary stream: this header, then `textBytes` bytes of
// terminated UTF-16 text.  Its serialised length is headerSize + textBytes.
struct VxSummaryEntryHeader {
    uint32_t headerSize; // 12
    uint32_t id;         // the host's item id
    uint32_t textBytes;  // text length in bytes, terminator included
};

// A media-manager entry as served by the media-manager stream: this header, then
// `nameBytes` bytes of terminated UTF-16 name, then `dataBytes` bytes of data.  Its
// serialised length is headerSize + nameBytes + dataBytes.  Later versions may grow the
// header; readers find the name at headerSize.
struct VxMediaMgrEntryHeader {
    uint32_t headerSize; // 56 or more
    uint32_t id;
    uint32_t values[9]; // the host's own values
    uint32_t nameBytes;
    uint32_t dataKind; // the host's own value
    uint32_t dataBytes;
};
#pragma pack(pop)
static_assert(sizeof(VxSummaryEntryHeader) == 12);
static_assert(sizeof(VxMediaMgrEntryHeader) == 56);

inline constexpr IID IID_IVxMetaSource = {
    0x5F3D92EA, 0x1403, 0x4244, {0x88, 0x5E, 0x5C, 0x21, 0x97, 0x6E, 0xDD, 0xF6}};

// Implemented by the host: the metadata that a render file writes.  `set` selects which of
// the host's metadata sets to write: 0 for WriteMeta, the host's value for WriteMetaFrom.
// Pointers handed out stay valid until the next call on the source.
struct IVxMetaSource : IUnknown {
    // 3: number of summary items.
    virtual HRESULT STDMETHODCALLTYPE GetSummaryCount(uint32_t set, int32_t* count) = 0;
    // 4: item `index`: its id and its terminated text.
    virtual HRESULT STDMETHODCALLTYPE GetSummaryItem(uint32_t set, int32_t index, uint32_t* id,
                                                     const WCHAR** text) = 0;
    // 5: the three media-manager header values; S_FALSE when there is no media-manager data.
    virtual HRESULT STDMETHODCALLTYPE GetMediaMgrInfo(uint32_t set, uint32_t header[3]) = 0;
    // 6: number of media-manager entries.
    virtual HRESULT STDMETHODCALLTYPE GetMediaMgrCount(uint32_t set, int32_t* count) = 0;
    // 7: entry `index` as its serialised bytes (a VxMediaMgrEntryHeader first).
    virtual HRESULT STDMETHODCALLTYPE GetMediaMgrEntry(uint32_t set, int32_t index,
                                                       const void** entry, uint32_t* length) = 0;
    // 8: the identifier recorded in the companion file; S_FALSE when the host has none.
    virtual HRESULT STDMETHODCALLTYPE GetFileId(GUID* id) = 0;
};
