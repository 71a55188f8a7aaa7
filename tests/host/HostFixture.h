// What every host-level test needs: the plug-in library loaded by path, movies written
// to files, and an opened movie with its video stream.
#pragma once

#include "support/ComTestUtil.h"
#include "tools/PluginLibrary.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace hosttest {

using comtest::ComPtr;

inline const PluginLibrary& Library() {
    static PluginLibrary library(SWFPLUGIN_PATH);
    return library;
}

// Writes the movie to the test folder and gives its path as the host passes it.
inline std::u16string WriteMovie(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return std::u16string(path.begin(), path.end());
}

// A movie opened through the read-file class, and its video stream; with `open` 0 the
// file is only named, and has no stream yet.
struct OpenMovie {
    ComPtr<IVxReadFileClass> readClass;
    ComPtr<IVxReadFile> file;
    ComPtr<IVxReadVideoStream> video;

    explicit OpenMovie(const std::u16string& path, int32_t open = 1) {
        EXPECT_EQ(Library().Create(CLSID_VxSWFPlugin, IID_IVxReadFileClass, readClass.out()), S_OK);
        if (!readClass) return;
        EXPECT_EQ(readClass->CreateReadFile(file.out(), nullptr,
                                            reinterpret_cast<const WCHAR*>(path.c_str()), open),
                  S_OK);
        if (!file || !open) return;
        ComPtr<IVxReadStream> stream;
        EXPECT_EQ(file->GetStream(stream.out(), 0xFFFFFFFFu, 0, 0, 0, 0), S_OK);
        if (stream) {
            EXPECT_EQ(stream->QueryInterface(IID_IVxReadVideoStream, video.outVoid()), S_OK);
        }
    }

    BITMAPINFOHEADER Format() {
        BITMAPINFOHEADER format = {};
        int32_t size = 0;
        EXPECT_EQ(video->GetFormat(&format, sizeof(format), &size, nullptr, 0, nullptr), S_OK);
        return format;
    }

    // A copy of the frame's pixels, top row first, rows packed; empty when the frame
    // cannot be read.  Row 0 is lent at the top and rows follow at the negated stride.
    std::vector<uint8_t> Frame(int64_t frame) {
        const BITMAPINFOHEADER format = Format();
        void* pixels = nullptr;
        int32_t stride = 0;
        std::vector<uint8_t> copy;
        if (video->ReadFrame(frame, &pixels, &stride, nullptr, nullptr, nullptr, 0, 0) != S_OK)
            return copy;
        const size_t rowBytes = size_t(format.biWidth) * 4;
        for (int32_t y = 0; y < format.biHeight; ++y) {
            const auto* row = static_cast<const uint8_t*>(pixels) - int64_t(y) * stride;
            copy.insert(copy.end(), row, row + rowBytes);
        }
        EXPECT_EQ(video->EndRead(0), S_OK);
        return copy;
    }
};

} // namespace hosttest
