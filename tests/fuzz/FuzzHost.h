// What every fuzz target shares: the plug-in library loaded by path as a host loads it, a
// private scratch folder for the files the plug-in reads by name, and the check that turns
// a broken promise of the plug-in into a crash that libFuzzer records.
#pragma once

#include "support/ComTestUtil.h"
#include "tools/PluginLibrary.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include <unistd.h>

namespace fuzzhost {

namespace fs = std::filesystem;
using comtest::ComPtr;

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) fuzzhost::Fail(#condition, __FILE__, __LINE__);                          \
    } while (0)

inline fs::path scratch;

[[noreturn]] inline void Exit(const std::string& why) {
    std::fprintf(stderr, "%s\n", why.c_str());
    std::exit(1);
}

// Aborts, so that the input is saved as a crash.
[[noreturn]] inline void Fail(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: the plug-in broke its contract: %s\n", file, line, condition);
    std::abort();
}

// The library from SWFPLUGIN_PATH in the environment, else the one built beside the targets.
inline const PluginLibrary& Library() {
    static const char* path = std::getenv("SWFPLUGIN_PATH");
    static PluginLibrary library(path ? path : SWFPLUGIN_PATH);
    return library;
}

// Loads the library and makes the scratch folder, one per process since several fuzzing
// jobs may share the machine.
inline void Start() {
    if (!Library().Loaded()) Exit("cannot load the plug-in: " + Library().Error());
    std::error_code error;
    scratch = fs::temp_directory_path(error) / ("swfplugin-fuzz-" + std::to_string(getpid()));
    fs::create_directories(scratch, error);
    if (error) Exit("cannot make " + scratch.string());
    std::atexit([] {
        std::error_code ignored;
        fs::remove_all(scratch, ignored);
    });
}

inline std::string ScratchPath(const char* name) {
    return (scratch / name).string();
}

inline std::u16string Wide(const std::string& path) {
    return {path.begin(), path.end()};
}

inline const WCHAR* W(const std::u16string& text) {
    return reinterpret_cast<const WCHAR*>(text.c_str());
}

inline void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.write(reinterpret_cast<const char*>(data), std::streamsize(size)))
        Exit("cannot write " + path);
}

// The metadata reader of the movie at `movie`, opened as a host does.
inline ComPtr<IVxReadMeta> OpenMeta(const std::u16string& movie) {
    ComPtr<IVxReadFileClass> readClass;
    FUZZ_CHECK(Library().Create(CLSID_VxSWFPlugin, IID_IVxReadFileClass, readClass.out()) == S_OK);
    ComPtr<IVxReadFile> file;
    FUZZ_CHECK(readClass->CreateReadFile(file.out(), nullptr, W(movie), 0) == S_OK);
    ComPtr<IVxReadMeta> meta;
    FUZZ_CHECK(file->GetMeta(meta.out()) == S_OK && meta);
    return meta;
}

// Every byte a stream serves from its position, read in pieces that end inside the
// prologue, inside entries and past the end, each into a buffer of exactly its size.
inline std::vector<uint8_t> ReadStream(IStream* stream) {
    static constexpr ULONG kPieces[] = {1, 3, 12, 5, 64, 4096};
    std::vector<uint8_t> bytes;
    for (size_t piece = 0;; ++piece) {
        const ULONG size = kPieces[piece % std::size(kPieces)];
        std::vector<uint8_t> buffer(size);
        ULONG read = 0xFFFFFFFF;
        const HRESULT hr = stream->Read(buffer.data(), size, &read);
        FUZZ_CHECK(read <= size && (hr == S_OK) == (read > 0));
        if (read == 0) return bytes;
        bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + read);
        FUZZ_CHECK(bytes.size() <= (64u << 20)); // a stream never serves more
    }
}

} // namespace fuzzhost
