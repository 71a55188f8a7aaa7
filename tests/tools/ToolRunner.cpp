#include "ToolRunner.h"
#include "host/HostFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace tooltest {

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
    result.out = FileBytes(out);
    result.err = FileBytes(err);
    return result;
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
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
    hosttest::OpenMovie open(std::u16string(movie.begin(), movie.end()));
    int64_t frames = 0;
    if (open.video) open.video->GetFrameCount(&frames);
    return frames;
}

DirectFrame ReadDirectly(const std::string& movie, int64_t frame, double zoom) {
    hosttest::OpenMovie open(std::u16string(movie.begin(), movie.end()));
    if (!open.video) return {};
    EXPECT_EQ(open.video->SetZoom(zoom), S_OK);
    const BITMAPINFOHEADER format = open.Format(); // the picture takes the zoom here
    return {format.biWidth, format.biHeight, open.Frame(frame)};
}

bool HaveFfmpeg() {
    return std::system("command -v ffmpeg >/dev/null 2>&1") == 0;
}

std::vector<RgbaImage> DecodeWithFfmpeg(const std::string& file, int width, int height,
                                        const std::string& decoder) {
    const std::string raw = TempPath("decoded.rgba");
    std::filesystem::remove(raw);
    const std::string command = "ffmpeg -nostdin -v error " +
                                (decoder.empty() ? "" : "-c:v " + decoder + " ") + "-i '" + file +
                                "' -fps_mode passthrough -f rawvideo -pix_fmt rgba '" + raw + "'";
    std::vector<RgbaImage> frames;
    if (std::system(command.c_str()) != 0) return frames;
    const std::string bytes = FileBytes(raw);
    const size_t frameSize = size_t(width) * size_t(height) * 4;
    for (size_t at = 0; frameSize && at + frameSize <= bytes.size(); at += frameSize) {
        RgbaImage image(width, height);
        std::copy_n(bytes.begin() + long(at), frameSize, image.pixels.begin());
        frames.push_back(std::move(image));
    }
    return frames;
}

} // namespace tooltest
