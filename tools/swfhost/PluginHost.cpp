#include "tools/swfhost/PluginHost.h"

#include "tools/swfhost/HostError.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr const char* kLibraryName = "swfplugin.dll";
#else
constexpr const char* kLibraryName = "libswfplugin.so";
#endif

std::u16string Widen(const std::string& text) {
    std::u16string wide(text.size() + 1, u'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), int(text.size()),
                                           reinterpret_cast<WCHAR*>(wide.data()), int(wide.size()));
    wide.resize(length > 0 ? size_t(length) : 0);
    return wide;
}

std::string Narrow(const WCHAR* text) {
    int length = 0;
    while (text[length]) ++length;
    std::string out(size_t(length) * 3 + 1, '\0');
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), int(out.size()),
                                          nullptr, nullptr);
    out.resize(bytes > 0 ? size_t(bytes) : 0);
    return out;
}

std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08X", unsigned(hr));
    return text;
}

void Check(HRESULT hr, const std::string& what) {
    if (FAILED(hr)) throw HostError(kExitMovieFailed, what + " failed (" + Hex(hr) + ")");
}

std::vector<uint8_t> FirstBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes(16);
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    bytes.resize(size_t(in.gcount()));
    return bytes;
}

} // namespace

PluginHost::PluginHost(const std::string& libraryPath) : path_(libraryPath) {
    std::error_code error;
    if (!fs::is_regular_file(libraryPath, error))
        throw HostError(kExitPlugin, "plug-in library not found: " + libraryPath);
    library_ = std::make_unique<PluginLibrary>(libraryPath);
    if (!library_->Loaded())
        throw HostError(kExitPlugin, "cannot load the plug-in library " + libraryPath + ": " +
                                         library_->Error());
}

std::string PluginHost::DefaultPath(const char* argv0) {
    std::error_code error;
    fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error && argv0) program = fs::absolute(argv0, error);
    const fs::path beside = program.parent_path() / kLibraryName;
    if (!program.empty() && fs::is_regular_file(beside, error)) return beside.string();
    return SWFPLUGIN_DEFAULT_PATH;
}

MovieStream::MovieStream(const PluginHost& host, const std::string& path) {
    Open(host, path);
    ReadFormat();
}

void MovieStream::Open(const PluginHost& host, const std::string& path) {
    Check(host.Library().Create(CLSID_VxSWFPlugin, IID_IVxReadFileClass, readClass_.Out()),
          "creating the read-file class");
    const std::vector<uint8_t> header = FirstBytes(path);
    if (readClass_->CheckFormat(0, header.data(), int32_t(header.size()), 0) != S_OK)
        throw HostError(kExitMovieFailed, "not a SWF movie (the plug-in does not recognise it)");
    const std::u16string widePath = Widen(path);
    Check(readClass_->CreateReadFile(file_.Out(), nullptr,
                                     reinterpret_cast<const WCHAR*>(widePath.c_str()), 1),
          "opening the movie");
    ComRef<IVxReadStream> stream;
    Check(file_->GetStream(stream.Out(), VX_STREAM_VIDEO, 0, 0, 0, 0),
          "asking for the video stream");
    Check(stream->QueryInterface(IID_IVxReadVideoStream, video_.OutVoid()),
          "asking for the video stream");
    Check(video_->QueryInterface(IID_IVxAdvancedVideoScaling, scaling_.OutVoid()),
          "asking for the stretch operation");
}

void MovieStream::ReadFormat() {
    BITMAPINFOHEADER picture = {};
    VxVideoFormat video = {};
    int32_t pictureSize = 0, videoSize = 0;
    Check(video_->GetFormat(&picture, sizeof(picture), &pictureSize, &video, sizeof(video),
                            &videoSize),
          "reading the picture format");
    Check(video_->GetFrameCount(&frameCount_), "reading the frame count");
    Check(file_->GetLength(&length_), "reading the movie length");
    frameRate_ = video.frameRate;
    width_ = picture.biWidth;
    height_ = picture.biHeight;
    if (naturalWidth_ == 0 && naturalHeight_ == 0) {
        naturalWidth_ = width_;
        naturalHeight_ = height_;
    }
    if (frameCount_ <= 0)
        throw HostError(kExitMovieFailed, "the plug-in found no frames (damaged or empty movie)");
}

std::string MovieStream::FileText(int32_t kind) const {
    WCHAR text[300] = {};
    file_->GetText(text, 300, kind);
    return Narrow(text);
}

std::string MovieStream::StreamText(int32_t kind) const {
    WCHAR text[300] = {};
    file_->GetStreamText(text, 300, 0, kind);
    return Narrow(text);
}

void MovieStream::SetScale(double zoom, double stretch) {
    Check(video_->SetZoom(zoom), "setting the zoom");
    Check(scaling_->SetStretch(stretch), "setting the stretch");
    ReadFormat();
    if (width_ <= 0 || height_ <= 0)
        throw HostError(kExitUsage, "the zoom and stretch leave no picture (" +
                                        std::to_string(width_) + " x " + std::to_string(height_) +
                                        ")");
}

void MovieStream::ReadFrame(int64_t frame, const std::function<void(const FrameView&)>& use) {
    void* pixels = nullptr;
    int32_t stride = 0;
    const BITMAPINFOHEADER* format = nullptr;
    const HRESULT hr = video_->ReadFrame(frame, &pixels, &stride, &format, nullptr, nullptr, 0, 0);
    if (hr != S_OK)
        throw HostError(kExitMovieFailed, "the plug-in could not read frame " +
                                              std::to_string(frame) + " (" + Hex(hr) + ")");
    // The lock stays held until EndRead, whatever `use` does.
    struct EndRead {
        IVxReadVideoStream* video;
        ~EndRead() { video->EndRead(0); }
    } endRead{video_.Get()};
    use(FrameView::FromLent(pixels, stride, format->biWidth, format->biHeight));
}
