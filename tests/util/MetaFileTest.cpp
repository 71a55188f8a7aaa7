#include "util/TestMetaSource.h"
#include "util/VxFMMeta.h"
#include "util/VxMetaFormat.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

using metatest::TestMetaSource;
using metatest::U;

namespace {

using Bytes = std::vector<uint8_t>;

std::u16string TempMovie(const char* name) {
    return U((std::string(::testing::TempDir()) + name).c_str());
}

const WCHAR* W(const std::u16string& text) {
    return reinterpret_cast<const WCHAR*>(text.c_str());
}

std::string Narrow(const std::u16string& text) {
    return std::string(text.begin(), text.end());
}

std::string MetaPath(const std::u16string& movie) {
    return Narrow(movie) + ".vxmeta";
}

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The entries found in a companion file image, each as its serialised bytes.
struct ReadBack {
    std::vector<Bytes> summary, media;
    uint32_t present = 0;
    GUID fileId = {};
};

ReadBack ReadCompanion(const Bytes& image) {
    ReadBack back;
    std::vector<VxMetaChunk> chunks;
    if (!VxMeta_ParseImage(image.data(), image.size(), chunks)) return back;
    if (const VxMetaChunk* summary = VxMeta_FindChunk(chunks, kVxMetaSummaryChunk))
        for (const VxMetaEntry& e : VxMeta_SummaryEntries(*summary))
            back.summary.emplace_back(e.bytes, e.bytes + e.length);
    if (const VxMetaChunk* media = VxMeta_FindChunk(chunks, kVxMetaMediaMgrChunk)) {
        const VxMediaMgrContent content = VxMeta_MediaMgrContent(*media);
        back.present = content.present;
        for (const VxMetaEntry& e : content.entries)
            back.media.emplace_back(e.bytes, e.bytes + e.length);
    }
    const VxMetaChunk* id = VxMeta_FindChunk(chunks, kVxMetaFileIdChunk);
    if (id && id->size >= sizeof(GUID)) std::memcpy(&back.fileId, id->data, sizeof(GUID));
    return back;
}

// Every whole entry found by walking an image in memory.
size_t CountEntries(const Bytes& image) {
    const ReadBack back = ReadCompanion(image);
    return back.summary.size() + back.media.size();
}

Bytes SampleImage(const std::u16string& movie) {
    TestMetaSource source;
    metatest::FillSample(source);
    EXPECT_EQ(VxFMMeta_openAndWriteMetaStreamEx(W(movie), 1, 0, &source, 0, 0x2001), S_OK);
    return ReadAll(MetaPath(movie));
}

} // namespace

TEST(MetaName, CompanionNamesAndTheirLimits) {
    WCHAR name[260];
    ASSERT_EQ(VxFMMeta_CreateMetaName(W(U("C:\\clips.v2\\movie.swf")), name, 260, 1), S_OK);
    EXPECT_EQ(Narrow(reinterpret_cast<const char16_t*>(name)), "C:\\clips.v2\\movie.swf.vxmeta");

    EXPECT_EQ(VxFMMeta_CreateMetaName(W(U("a.swf")), name, 12, 1), E_FAIL);
    EXPECT_EQ(name[0], 0);
    EXPECT_EQ(VxFMMeta_CreateMetaName(W(U("a.swf")), name, 13, 1), S_OK);
    EXPECT_EQ(VxFMMeta_CreateMetaName(W(U("")), name, 260, 1), E_INVALIDARG);
    EXPECT_EQ(VxFMMeta_CreateMetaName(nullptr, name, 260, 1), E_INVALIDARG);

    const std::u16string movie = TempMovie("name_test.swf");
    const std::u16string meta = movie + u".vxmeta";
    std::remove(Narrow(meta).c_str());
    EXPECT_FALSE(VxFMMeta_IsMetaFile(W(movie), W(meta)));
    WriteAll(Narrow(meta), {1});
    EXPECT_TRUE(VxFMMeta_IsMetaFile(W(movie), W(meta)));
    // A movie that is itself named like a companion file is never its own companion.
    EXPECT_FALSE(VxFMMeta_IsMetaFile(W(meta), W(meta)));
    std::remove(Narrow(meta).c_str());
}

TEST(MetaFile, RewritingKeepsOtherKindsAndUsesTheChosenSet) {
    const std::u16string movie = TempMovie("rewrite.swf");
    TestMetaSource source;
    metatest::FillSample(source);
    ASSERT_EQ(VxFMMeta_openAndWriteMetaStreamEx(W(movie), 1, 0, &source, 0, 0x2001), S_OK);
    ASSERT_EQ(VxFMMeta_WriteRiffFileId(W(movie), &source), S_OK);

    // Only the summary is rewritten, from set 5; the media data and identifier stay.
    source.items = {{1, U("new")}};
    source.media.clear();
    ASSERT_EQ(VxFMMeta_openAndWriteMetaStreamEx(W(movie), 0, 5, &source, 0, VX_META_SUMMARY), S_OK);
    EXPECT_EQ(source.lastSet, 5u);
    const ReadBack back = ReadCompanion(ReadAll(MetaPath(movie)));
    ASSERT_EQ(back.summary.size(), 1u);
    EXPECT_EQ(back.summary[0], metatest::SummaryBytes(1, U("new")));
    EXPECT_EQ(back.media.size(), 2u);
    EXPECT_EQ(back.fileId, source.fileId);

    // Without media-manager data the chunk says so.
    source.mediaPresent = false;
    source.hasFileId = false;
    ASSERT_EQ(VxFMMeta_openAndWriteMetaStreamEx(W(movie), 1, 0, &source, 0, 0x2001), S_OK);
    ASSERT_EQ(VxFMMeta_WriteRiffFileId(W(movie), &source), S_OK);
    const ReadBack cleared = ReadCompanion(ReadAll(MetaPath(movie)));
    EXPECT_EQ(cleared.present, 0u);
    EXPECT_TRUE(cleared.media.empty());
    EXPECT_EQ(cleared.fileId, GUID{});
    std::remove(MetaPath(movie).c_str());
}

TEST(MetaFile, FailedWriteLeavesTheOldFileAndNoTemporary) {
    const std::u16string movie = TempMovie("failed.swf");
    const Bytes before = SampleImage(movie);
    ASSERT_FALSE(before.empty());

    TestMetaSource source;
    metatest::FillSample(source);
    source.media[1].pop_back(); // its lengths no longer add up
    source.media[1].pop_back();
    EXPECT_EQ(VxFMMeta_openAndWriteMetaStreamEx(W(movie), 1, 0, &source, 0, 0x2001), E_INVALIDARG);
    source.countAnswer = E_UNEXPECTED;
    EXPECT_EQ(VxFMMeta_openAndWriteMetaStreamEx(W(movie), 1, 0, &source, 0, 0x2001), E_UNEXPECTED);
    EXPECT_EQ(VxFMMeta_openAndWriteMetaStreamEx(W(movie), 1, 0, nullptr, 0, 0x2001), E_POINTER);
    EXPECT_EQ(ReadAll(MetaPath(movie)), before);

    // A folder that does not exist cannot take the temporary file.
    const std::u16string nowhere = TempMovie("no_such_folder/movie.swf");
    EXPECT_EQ(VxFMMeta_openAndWriteMetaStreamEx(W(nowhere), 1, 0, &source, 0, 0), E_FAIL);
    std::remove(MetaPath(movie).c_str());
}

TEST(MetaFile, DamagedSizesAreReadWithinBounds) {
    const std::u16string movie = TempMovie("damaged.swf");
    const Bytes image = SampleImage(movie);
    std::remove(MetaPath(movie).c_str());
    std::vector<VxMetaChunk> chunks;
    ASSERT_TRUE(VxMeta_ParseImage(image.data(), image.size(), chunks));
    const size_t summary =
        size_t(VxMeta_FindChunk(chunks, kVxMetaSummaryChunk)->data - image.data());

    auto patched = [&](size_t at, uint32_t value) {
        Bytes copy = image;
        for (size_t i = 0; i < 4; ++i) copy.at(at + i) = uint8_t(value >> (8 * i));
        return copy;
    };
    EXPECT_EQ(CountEntries(patched(4, 0xFFFFFFFF)), 4u);               // form size too large
    EXPECT_EQ(CountEntries(patched(summary - 4, 0xFFFFFFF0)), 2u);     // summary swallows the rest
    EXPECT_EQ(CountEntries(patched(summary, 1000000)), 4u);            // count is only a limit
    EXPECT_EQ(CountEntries(patched(summary + 4 + 8, 0xFFFFFFFE)), 2u); // first text too long
    EXPECT_EQ(CountEntries(patched(summary + 4, 16)), 2u);             // unknown header size
    EXPECT_EQ(CountEntries(patched(8, 0x41424344)), 0u);               // not our form
    // A newer major version is not read at all.
    const size_t version =
        size_t(VxMeta_FindChunk(chunks, kVxMetaVersionChunk)->data - image.data());
    EXPECT_EQ(CountEntries(patched(version, 2)), 0u);
}
