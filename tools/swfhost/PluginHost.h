// The host side of the plug-in: loads the library by path and opens movies through the
// read-file class and the video stream, exactly as a media-editing host does.
#pragma once

#include "tools/PluginLibrary.h"
#include "tools/swfhost/ComRef.h"
#include "tools/swfhost/FrameView.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class PluginHost {
public:
    // Throws HostError(kExitPlugin) when the library or its entry points are missing.
    explicit PluginHost(const std::string& libraryPath);
    const PluginLibrary& Library() const { return *library_; }
    const std::string& Path() const { return path_; }

    // The library beside the program, else the one this program was built with.
    static std::string DefaultPath(const char* argv0);

private:
    std::string path_;
    std::unique_ptr<PluginLibrary> library_;
};

// One opened movie and its video stream.  Every failure throws HostError.
class MovieStream {
public:
    // `path` must name an uncompressed movie.
    MovieStream(const PluginHost& host, const std::string& path);

    // The picture size at zoom 1 and stretch 1, and the current one.
    int NaturalWidth() const { return naturalWidth_; }
    int NaturalHeight() const { return naturalHeight_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    double FrameRate() const { return frameRate_; }
    int64_t FrameCount() const { return frameCount_; }
    int64_t Length() const { return length_; } // 100 ns units

    std::string FileText(int32_t kind) const;
    std::string StreamText(int32_t kind) const;

    // Through the stream's own zoom and stretch; the picture size follows.
    void SetScale(double zoom, double stretch);

    // Reads `frame` and hands the lent picture to `use` before giving it back.
    void ReadFrame(int64_t frame, const std::function<void(const FrameView&)>& use);

private:
    void Open(const PluginHost& host, const std::string& path);
    void ReadFormat();

    ComRef<IVxReadFileClass> readClass_;
    ComRef<IVxReadFile> file_;
    ComRef<IVxReadVideoStream> video_;
    ComRef<IVxAdvancedVideoScaling> scaling_;
    int naturalWidth_ = 0, naturalHeight_ = 0;
    int width_ = 0, height_ = 0;
    double frameRate_ = 0;
    int64_t frameCount_ = 0;
    int64_t length_ = 0;
};
