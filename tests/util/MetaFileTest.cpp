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

const WCHAR* W(const std::u16string& text) {
    return reinterpret_cast<const WCHAR*>(text.c_str());
}

std::string Narrow(const std::u16string& text) {
    return std::string(text.begin(), text.end());
}

// A movie path in the test folder, with its companion file removed.
std::u16string TempMovie(const char* name) {
    const std::string path = ::testing::TempDir() + name;
    std::remove((path + ".vxmeta").c_str());
    return U(path.c_str());
}

Bytes ReadCompanionFile(const std::u16string& movie) {
    std::ifstream in(Narrow(movie) + ".vxmeta", std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

HRESULT WriteSample(const std::u16string& movie, TestMetaSource& source) {
    return VxFMMeta_openAndWriteMetaStreamEx(W(movie), 1, 0, &source, 0, 0x2001);
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

} // namespace

TEST(MetaName, CompanionNamesAndTheirLimits) {
    WCHAR name[260];
    ASSERT_EQ(VxFMMeta_CreateMetaName(W(U("C:\\clips.v2\\movie.swf")), name, 260, 1), S_OK);
    EXPECT_EQ(Narrow(reinterpret_cast<const char16_t*>(name)), "C:\\clips.v2\\movie.swf.vxmeta");
    // The replaced form looks for the extension in the last component only.
    ASSERT_EQ(VxFMMeta_CreateMetaName(W(U("/clips.v2/movie")), name, 260, 0), S_OK);
    EXPECT_EQ(Narrow(reinterpret_cast<const char16_t*>(name)), "/clips.v2/movie.vxmeta");

    const std::u16string movie = TempMovie("name_test.swf"), meta = movie + u".vxmeta";
    EXPECT_FALSE(VxFMMeta_IsMetaFile(W(movie), W(meta)));
    std::ofstream(Narrow(meta)) << 'x';
    EXPECT_TRUE(VxFMMeta_IsMetaFile(W(movie), W(meta)));
    // A movie that is itself named like a companion file is never its own companion.
    EXPECT_FALSE(VxFMMeta_IsMetaFile(W(meta), W(meta)));
}

TEST(MetaFile, RewritesKeepOtherKindsAndFailuresKeepTheOldFile) {
    const std::u16string movie = TempMovie("rewrite.swf");
    TestMetaSource source;
    metatest::FillSample(source);
    // The identifier first: the media chunk (of odd length) then comes before it.
    ASSERT_EQ(VxFMMeta_WriteRiffFileId(W(movie), &source), S_OK);
    ASSERT_EQ(WriteSample(movie, source), S_OK);

    // Only the summary is rewritten, from set 5; the media data and identifier stay.
    source.items = {{1, U("new")}};
    source.media.clear();
    ASSERT_EQ(VxFMMeta_openAndWriteMetaStreamEx(W(movie), 0, 5, &source, 0, VX_META_SUMMARY), S_OK);
    EXPECT_EQ(source.lastSet, 5u);
    const Bytes before = ReadCompanionFile(movie);
    const ReadBack back = ReadCompanion(before);
    ASSERT_EQ(back.summary.size(), 1u);
    EXPECT_EQ(back.summary[0], metatest::SummaryBytes(1, U("new")));
    EXPECT_EQ(back.media.size(), 2u);
    EXPECT_EQ(back.fileId, source.fileId);
    HANDLE file = CreateFileW(W(movie + u".vxmeta"), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    GUID id = {};
    EXPECT_EQ(VxFMMeta_ReadFileId(file, &id), S_OK);
    CloseHandle(file);
    EXPECT_EQ(id, source.fileId);

    // Failed writes leave the old file.
    metatest::FillSample(source);
    source.media[1].resize(source.media[1].size() - 2); // its lengths no longer add up
    EXPECT_EQ(WriteSample(movie, source), E_INVALIDARG);
    source.countAnswer = E_UNEXPECTED;
    EXPECT_EQ(WriteSample(movie, source), E_UNEXPECTED);
    EXPECT_EQ(ReadCompanionFile(movie), before);

    // Without media-manager data the chunk says so.
    metatest::FillSample(source);
    source.countAnswer = S_OK;
    source.mediaPresent = source.hasFileId = false;
    ASSERT_EQ(WriteSample(movie, source), S_OK);
    ASSERT_EQ(VxFMMeta_WriteRiffFileId(W(movie), &source), S_OK);
    const ReadBack cleared = ReadCompanion(ReadCompanionFile(movie));
    EXPECT_EQ(cleared.present, 0u);
    EXPECT_TRUE(cleared.media.empty());
    EXPECT_EQ(cleared.fileId, GUID{});
    // Present without entries is still present.
    source.mediaPresent = true;
    source.media.clear();
    ASSERT_EQ(WriteSample(movie, source), S_OK);
    EXPECT_EQ(ReadCompanion(ReadCompanionFile(movie)).present, 1u);
}

TEST(MetaFormat, AnEntryIsReadOnlyWhenEveryOneOfItsBytesIsPresent) {
    const Bytes summary = metatest::SummaryBytes(4, U("Title")),
                media = metatest::MediaEntry(1, "first", {1, 2, 3});
    const struct {
        const Bytes& entry;
        uint32_t (*lengthOf)(const uint8_t*, size_t);
    } kinds[] = {{summary, VxMeta_SummaryEntryLength}, {media, VxMeta_MediaMgrEntryLength}};
    for (const auto& kind : kinds) {
        Bytes room = kind.entry;
        room.push_back(0); // a byte beyond the entry
        const size_t n = kind.entry.size();
        for (const auto& [available, length] : {std::pair{n + 1, n}, {n, n}, {n - 1, 0}, {2, 0}})
            EXPECT_EQ(kind.lengthOf(room.data(), available), length) << n << " in " << available;
    }
    // Chunks of one entry (after the media-manager prologue): whole, and one byte short.
    Bytes chunks[2] = {{1, 0, 0, 0}, Bytes(20)};
    chunks[0].insert(chunks[0].end(), summary.begin(), summary.end());
    chunks[1][16] = 1;
    chunks[1].insert(chunks[1].end(), media.begin(), media.end());
    for (uint32_t cut : {0u, 1u}) {
        const uint32_t size0 = uint32_t(chunks[0].size()) - cut;
        const uint32_t size1 = uint32_t(chunks[1].size()) - cut;
        EXPECT_EQ(VxMeta_SummaryEntries({kVxMetaSummaryChunk, chunks[0].data(), size0}).size(),
                  1 - cut);
        EXPECT_EQ(
            VxMeta_MediaMgrContent({kVxMetaMediaMgrChunk, chunks[1].data(), size1}).entries.size(),
            1 - cut);
    }
}
