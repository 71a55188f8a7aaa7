#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace tooltest {

using comtest::ComPtr;

namespace {

std::string Quote(const std::string& text) {
    std::string quoted(1, '\'');
    for (const char c : text) {
        if (c == '\'')
            quoted.append("'\\''");
        else
            quoted.push_back(c);
    }
    quoted.push_back('\'');
    return quoted;
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const PluginLibrary& Library() {
    static PluginLibrary library(SWFPLUGIN_PATH);
    return library;
}

} // namespace

std::string TempPath(const std::string& name) {
    static const std::string folder = [] {
        const std::string path =
            testing::TempDir() + "swfframes_tests_" + std::to_string(getpid()) + "/";
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder + name;
}

RunResult RunSwfframes(const std::vector<std::string>& arguments, const std::string& environment) {
    const std::string out = TempPath("swfframes_stdout.txt");
    const std::string err = TempPath("swfframes_stderr.txt");
    std::string command = environment;
    command.append(" ").append(Quote(SWFFRAMES_PATH));
    for (const std::string& argument : arguments) command.append(" ").append(Quote(argument));
    command.append(" >").append(Quote(out)).append(" 2>").append(Quote(err)).append(" </dev/null");
    const int status = std::system(command.c_str());
    RunResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = Slurp(out);
    result.err = Slurp(err);
    return result;
}

std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = TempPath(name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

std::string FreshFolder(const std::string& name) {
    const std::string path = TempPath(name);
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    return path;
}

int64_t PluginFrameCount(const std::string& movie) {
    ComPtr<IVxReadFileClass> readClass;
    EXPECT_EQ(Library().Create(CLSID_VxSWFPlugin, IID_IVxReadFileClass, readClass.out()), S_OK);
    const std::u16string path(movie.begin(), movie.end());
    ComPtr<IVxReadFile> file;
    ComPtr<IVxReadStream> stream;
    ComPtr<IVxReadVideoStream> video;
    int64_t frames = 0;
    if (FAILED(readClass->CreateReadFile(file.out(), nullptr,
                                         reinterpret_cast<const WCHAR*>(path.c_str()), 1)) ||
        FAILED(file->GetStream(stream.out(), 0xFFFFFFFFu, 0, 0, 0, 0)) ||
        FAILED(stream->QueryInterface(IID_IVxReadVideoStream, video.outVoid())) ||
        FAILED(video->GetFrameCount(&frames)))
        return 0;
    return frames;
}

DirectFrame ReadDirectly(const std::string& movie, int64_t frame, double zoom) {
    DirectFrame result;
    EXPECT_TRUE(Library().Loaded()) << Library().Error();
    ComPtr<IVxReadFileClass> readClass;
    EXPECT_EQ(Library().Create(CLSID_VxSWFPlugin, IID_IVxReadFileClass, readClass.out()), S_OK);
    const std::u16string path(movie.begin(), movie.end());
    ComPtr<IVxReadFile> file;
    EXPECT_EQ(readClass->CreateReadFile(file.out(), nullptr,
                                        reinterpret_cast<const WCHAR*>(path.c_str()), 1),
              S_OK);
    ComPtr<IVxReadStream> stream;
    EXPECT_EQ(file->GetStream(stream.out(), 0xFFFFFFFFu, 0, 0, 0, 0), S_OK);
    ComPtr<IVxReadVideoStream> video;
    EXPECT_EQ(stream->QueryInterface(IID_IVxReadVideoStream, video.outVoid()), S_OK);
    EXPECT_EQ(video->SetZoom(zoom), S_OK);
    BITMAPINFOHEADER asked = {};
    // The picture takes the zoom when the host next asks for the format.
    EXPECT_EQ(video->GetFormat(&asked, sizeof(asked), nullptr, nullptr, 0, nullptr), S_OK);
    void* pixels = nullptr;
    int32_t stride = 0;
    const BITMAPINFOHEADER* format = nullptr;
    if (video->ReadFrame(frame, &pixels, &stride, &format, nullptr, nullptr, 0, 0) != S_OK) {
        ADD_FAILURE() << "ReadFrame failed";
        return result;
    }
    result.width = format->biWidth;
    result.height = format->biHeight;
    // Row 0 is the top row; the rows follow it in memory, -stride bytes apart.
    for (int y = 0; y < result.height; ++y) {
        const auto* row = static_cast<const uint8_t*>(pixels) + int64_t(y) * -stride;
        result.bgra.insert(result.bgra.end(), row, row + result.width * 4);
    }
    video->EndRead(0);
    return result;
}

} // namespace tooltest
