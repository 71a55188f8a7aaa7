#include "FuzzHost.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <unistd.h>

namespace fs = std::filesystem;

namespace fuzzhost {

namespace {

fs::path scratch;

[[noreturn]] void Exit(const std::string& why) {
    std::fprintf(stderr, "%s\n", why.c_str());
    std::exit(1);
}

} // namespace

void Fail(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: the plug-in broke its contract: %s\n", file, line, condition);
    std::abort();
}

const PluginLibrary& Library() {
    static const char* path = std::getenv("SWFPLUGIN_PATH");
    static PluginLibrary library(path ? path : SWFPLUGIN_PATH);
    return library;
}

void Start() {
    if (!Library().Loaded()) Exit("cannot load the plug-in: " + Library().Error());
    // One folder per process: several fuzzing jobs may share the machine.
    std::error_code error;
    scratch = fs::temp_directory_path(error) / ("swfplugin-fuzz-" + std::to_string(getpid()));
    fs::create_directories(scratch, error);
    if (error) Exit("cannot make " + scratch.string());
    std::atexit([] {
        std::error_code ignored;
        fs::remove_all(scratch, ignored);
    });
}

std::string ScratchPath(const char* name) {
    return (scratch / name).string();
}

std::vector<std::string> ScratchNames() {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(scratch))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::u16string Wide(const std::string& path) {
    return std::u16string(path.begin(), path.end());
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.write(reinterpret_cast<const char*>(data), std::streamsize(size)))
        Exit("cannot write " + path);
}

ComPtr<IVxReadMeta> OpenMeta(const std::u16string& movie) {
    ComPtr<IVxReadFileClass> readClass;
    FUZZ_CHECK(Library().Create(CLSID_VxSWFPlugin, IID_IVxReadFileClass, readClass.out()) == S_OK);
    ComPtr<IVxReadFile> file;
    FUZZ_CHECK(readClass->CreateReadFile(file.out(), nullptr, W(movie), 0) == S_OK);
    ComPtr<IVxReadMeta> meta;
    FUZZ_CHECK(file->GetMeta(meta.out()) == S_OK && meta);
    return meta;
}

std::vector<uint8_t> ReadStream(IStream* stream) {
    // Pieces that end inside the prologue, inside entries and past the end.
    static constexpr ULONG kPieces[] = {1, 3, 12, 5, 64, 4096};
    constexpr size_t kMostBytes = 64u << 20; // a stream never serves more than this
    std::vector<uint8_t> bytes;
    for (size_t piece = 0;; ++piece) {
        const ULONG size = kPieces[piece % std::size(kPieces)];
        std::vector<uint8_t> buffer(size); // exactly the size asked for
        ULONG read = 0xFFFFFFFF;
        const HRESULT hr = stream->Read(buffer.data(), size, &read);
        FUZZ_CHECK(read <= size && (hr == S_OK) == (read > 0));
        if (read == 0) return bytes;
        bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + read);
        FUZZ_CHECK(bytes.size() <= kMostBytes);
    }
}

} // namespace fuzzhost
