// swfinfo: loads the plug-in library as a host does and prints what it says about itself
// and, given movie paths, whether it recognises each one.
#include "tools/PluginLibrary.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string Narrow(const WCHAR* text) {
    std::string out;
    int length = 0;
    while (text[length]) ++length;
    out.resize(size_t(length) * 3 + 1);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), int(out.size()),
                                          nullptr, nullptr);
    out.resize(bytes > 0 ? size_t(bytes) : 0);
    return out;
}

int PrintDescription(const PluginLibrary& library) {
    IVxUnsharedFIOPluginInfo* info = nullptr;
    HRESULT hr = library.Create(CLSID_VxSWFPluginInfo, IID_IVxUnsharedFIOPluginInfo, &info);
    if (FAILED(hr)) {
        std::fprintf(stderr, "swfinfo: no plug-in information (0x%08X)\n", unsigned(hr));
        return 1;
    }
    info->Init(0, 0, 0);
    WCHAR name[256];
    uint32_t flags = 0, kind = 0, capabilities = 0;
    hr = info->GetInfo(0, nullptr, name, 256, &flags, &kind, &capabilities, nullptr, nullptr,
                       nullptr, nullptr, nullptr);
    info->Release();
    if (FAILED(hr)) return 1;

    IVxReadFileClass* readClass = nullptr;
    hr = library.Create(CLSID_VxSWFPlugin, IID_IVxReadFileClass, &readClass);
    if (FAILED(hr)) return 1;
    WCHAR title[256], pattern[64], format[128];
    readClass->GetDescription(title, 256, pattern, 64, format, 128);
    readClass->Release();

    std::printf("plug-in:      %s\n", Narrow(name).c_str());
    std::printf("format:       %s (%s)\n", Narrow(format).c_str(), Narrow(pattern).c_str());
    std::printf("open dialog:  %s\n", Narrow(title).c_str());
    std::printf("flags:        0x%02X, kind %u, capabilities 0x%08X\n", flags, kind, capabilities);
    return 0;
}

int CheckMovie(const PluginLibrary& library, const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> header(16);
    in.read(header.data(), std::streamsize(header.size()));
    IVxReadFileClass* readClass = nullptr;
    if (FAILED(library.Create(CLSID_VxSWFPlugin, IID_IVxReadFileClass, &readClass))) return 1;
    const HRESULT hr = readClass->CheckFormat(0, reinterpret_cast<const uint8_t*>(header.data()),
                                              int32_t(in.gcount()), 0);
    readClass->Release();
    std::printf("%s: %s\n", path, hr == S_OK ? "recognised" : "not an uncompressed SWF movie");
    return hr == S_OK ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    std::string libraryPath = SWFPLUGIN_DEFAULT_PATH;
    std::vector<const char*> movies;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--plugin" && i + 1 < argc)
            libraryPath = argv[++i];
        else
            movies.push_back(argv[i]);
    }
    PluginLibrary library(libraryPath);
    if (!library.Loaded()) {
        std::fprintf(stderr, "swfinfo: %s: %s\n", libraryPath.c_str(), library.Error().c_str());
        return 1;
    }
    int status = PrintDescription(library);
    for (const char* movie : movies) status |= CheckMovie(library, movie);
    return status;
}
