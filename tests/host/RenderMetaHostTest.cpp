// A host attaches metadata to a movie through the built library's render-file class, then
// reads the companion file back as the format description tells it to, and through the
// read file's metadata reader.
#include "HostFixture.h"
#include "util/TestMetaSource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

using comtest::ComPtr;
using hosttest::Library;
using metatest::TestMetaSource;
using metatest::U;

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t Get32(const Bytes& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// The chunks of a companion file by id, read the way the format description says.
std::map<std::string, Bytes> Chunks(const Bytes& file) {
    std::map<std::string, Bytes> chunks;
    if (file.size() < 12 || std::string(file.begin(), file.begin() + 4) != "RIFF") return chunks;
    for (size_t at = 12; at + 8 <= file.size();) {
        const size_t size = Get32(file, at + 4);
        if (at + 8 + size > file.size()) break;
        const std::string id(file.begin() + ptrdiff_t(at), file.begin() + ptrdiff_t(at) + 4);
        chunks.emplace(
            id, Bytes(file.begin() + ptrdiff_t(at) + 8, file.begin() + ptrdiff_t(at + 8 + size)));
        at += 8 + size + (size & 1);
    }
    return chunks;
}

// Reads a stream to its end in pieces of `piece` bytes.
Bytes ReadToEnd(IStream* stream, ULONG piece) {
    Bytes all, buffer(piece);
    ULONG read = 0;
    while (stream->Read(buffer.data(), piece, &read) == S_OK)
        all.insert(all.end(), buffer.begin(), buffer.begin() + read);
    return all;
}

} // namespace

TEST(HostMetadata, RenderFileWritesACompanionThatHostAndReadFileRead) {
    ASSERT_TRUE(Library().Loaded()) << Library().Error();
    const Bytes movieBefore = {'F', 'W', 'S', 6, 21, 0, 0, 0, 0x50, 0, 0,
                               0,   0,   0,   0, 0,  0, 0, 0, 0,    0};
    const std::u16string movie = hosttest::WriteMovie("host_meta.swf", movieBefore);
    const std::string moviePath(movie.begin(), movie.end()), companion = moviePath + ".vxmeta";
    std::remove(companion.c_str());

    // The sample metadata written through the library's render-file class.
    ComPtr<IVxRenderFileClass> renderClass;
    ComPtr<IVxRenderFileClassEx3> ex3;
    ComPtr<IVxRenderFile> file;
    ASSERT_EQ(Library().Create(CLSID_VxSWFPlugin, IID_IVxRenderFileClass, renderClass.out()), S_OK);
    ASSERT_EQ(renderClass->QueryInterface(IID_IVxRenderFileClassEx3, ex3.outVoid()), S_OK);
    ASSERT_EQ(
        ex3->CreateRenderFile(file.out(), reinterpret_cast<const WCHAR*>(movie.c_str()), 0, 0, 0),
        S_OK);
    TestMetaSource source;
    metatest::FillSample(source);
    ASSERT_EQ(file->SetMetaSource(&source), S_OK);
    ASSERT_EQ(file->WriteMeta(0), S_OK);
    file.Reset(); // lets the source go
    EXPECT_EQ(source.refs, 1);
    EXPECT_EQ(ReadAll(moviePath), movieBefore);

    const Bytes image = ReadAll(companion);
    ASSERT_GE(image.size(), 12u);
    EXPECT_EQ(Get32(image, 4), image.size() - 8);
    EXPECT_EQ(std::string(image.begin() + 8, image.begin() + 12), "VXMD");
    auto chunks = Chunks(image);
    // The summary chunk: the entry count, then the entries as the summary stream serves them.
    Bytes summaryChunk = {2, 0, 0, 0};
    for (const Bytes& entry : {metatest::SummaryBytes(4, U("Title of the clip")),
                               metatest::SummaryBytes(9, U("Author"))})
        summaryChunk.insert(summaryChunk.end(), entry.begin(), entry.end());
    EXPECT_EQ(chunks["summ"], summaryChunk);
    ASSERT_EQ(chunks.count("mmgr"), 1u);
    const Bytes& mmgr = chunks["mmgr"];
    EXPECT_EQ(Get32(mmgr, 0), 0x11u);
    EXPECT_EQ(Get32(mmgr, 12), 1u); // present
    EXPECT_EQ(Get32(mmgr, 16), 2u); // entries
    EXPECT_EQ(Bytes(mmgr.begin() + 20, mmgr.begin() + 20 + ptrdiff_t(source.media[0].size())),
              source.media[0]);
    ASSERT_EQ(chunks.count("fid "), 1u);
    EXPECT_EQ(Get32(chunks["fid "], 0), source.fileId.Data1);

    hosttest::OpenMovie named(movie, 0);
    ASSERT_TRUE(named.file);
    ComPtr<IVxReadMeta> meta;
    ASSERT_EQ(named.file->GetMeta(meta.out()), S_OK);
    ASSERT_TRUE(meta);
    WCHAR text[32];
    ASSERT_EQ(meta->GetSummaryItem(9, text, 32), S_OK);
    EXPECT_EQ(comtest::Narrow(text), "Author");
    ASSERT_EQ(meta->GetSummaryItem(4, text, 6), S_OK); // cut to the capacity
    EXPECT_EQ(comtest::Narrow(text), "Title");
    EXPECT_EQ(meta->GetSummaryItem(5, text, 32), VX_E_NOCALLBACK);

    // The summary stream: a prologue, then the entries, read in any pieces.
    ComPtr<IStream> summary;
    ASSERT_EQ(meta->GetSummaryStream(summary.out()), S_OK);
    const Bytes prologue = {12, 0, 0, 0, 100, 0, 0, 0, 2, 0, 0, 0};
    Bytes summaryImage = prologue;
    summaryImage.insert(summaryImage.end(), summaryChunk.begin() + 4, summaryChunk.end());
    EXPECT_EQ(ReadToEnd(summary.get(), 5), summaryImage);
    uint8_t byte = 0;
    ULONG read = 9;
    EXPECT_EQ(summary->Read(&byte, 1, &read), E_INVALIDARG); // nothing left
    EXPECT_EQ(read, 0u);

    ComPtr<IVxReadMediaMgrMeta> media;
    ASSERT_EQ(meta->QueryInterface(IID_IVxReadMediaMgrMeta, media.outVoid()), S_OK);
    uint32_t h[3] = {};
    EXPECT_EQ(media->GetMediaMgrInfo(&h[0], &h[1], &h[2]), S_OK);
    EXPECT_EQ(h[2], 0x33u);
    ComPtr<IStream> entries;
    ASSERT_EQ(media->GetMediaMgrStream(entries.out()), S_OK);
    Bytes expected = prologue;
    for (const Bytes& entry : source.media)
        expected.insert(expected.end(), entry.begin(), entry.end());
    EXPECT_EQ(ReadToEnd(entries.get(), 3), expected);

    // A companion named for the movie without its extension is found too.
    const std::string replaced = moviePath.substr(0, moviePath.size() - 4) + ".vxmeta";
    ASSERT_EQ(std::rename(companion.c_str(), replaced.c_str()), 0);
    {
        hosttest::OpenMovie other(movie, 0);
        ComPtr<IVxReadMeta> found;
        ASSERT_TRUE(other.file && other.file->GetMeta(found.out()) == S_OK);
        EXPECT_EQ(found->GetSummaryItem(9, text, 32), S_OK);
    }
    std::remove(replaced.c_str());

    // Without its companion file the movie has an empty summary and no media data.
    hosttest::OpenMovie bare(movie, 0);
    ASSERT_TRUE(bare.file);
    ComPtr<IVxReadMeta> none;
    ASSERT_EQ(bare.file->GetMeta(none.out()), S_OK);
    EXPECT_EQ(none->GetSummaryItem(4, text, 32), VX_E_NOCALLBACK);
    EXPECT_EQ(text[0], 0);
    ComPtr<IVxReadMediaMgrMeta> noMedia;
    ASSERT_EQ(none->QueryInterface(IID_IVxReadMediaMgrMeta, noMedia.outVoid()), S_OK);
    EXPECT_EQ(noMedia->GetMediaMgrInfo(&h[0], nullptr, nullptr), S_FALSE);
    ComPtr<IStream> empty;
    ASSERT_EQ(none->GetSummaryStream(empty.out()), S_OK);
    EXPECT_EQ(ReadToEnd(empty.get(), 64), Bytes({12, 0, 0, 0, 100, 0, 0, 0, 0, 0, 0, 0}));
}
