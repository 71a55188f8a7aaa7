#include "plugin/CSWFReadMeta.h"
#include "support/ComTestUtil.h"
#include "util/TestMetaSource.h"
#include "util/VxFMMeta.h"
#include "util/VxLang.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using comtest::CallSlot;
using comtest::ComPtr;
using metatest::TestMetaSource;
using metatest::U;

namespace {

using Bytes = std::vector<uint8_t>;

// An open file that only knows its path and counts the references it is given.
class FakeReadFile : public IVxReadFile {
public:
    std::u16string path;
    LONG refs = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(--refs); }
    HRESULT STDMETHODCALLTYPE GetClass(IVxReadFileClass**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetText(WCHAR*, int32_t, int32_t) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetStreamText(WCHAR*, int32_t, int32_t, int32_t) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CheckUse(intptr_t, int32_t, int32_t) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved7(intptr_t, intptr_t, intptr_t, intptr_t) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Reserved8(uint32_t*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Close() override { return S_OK; }
    int32_t STDMETHODCALLTYPE IsClosed() override { return 1; }
    HRESULT STDMETHODCALLTYPE Open(intptr_t, intptr_t) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetFileName(const WCHAR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFileName(WCHAR* buffer, int32_t capacity) override {
        if (path.empty()) return E_FAIL;
        VxCopyText(buffer, capacity, reinterpret_cast<const WCHAR*>(path.c_str()));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetLength(int64_t*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetStreamCount(int32_t*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFormatKind(uint32_t*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetStreamFormats(VxStreamRecord*, int32_t, int32_t) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetStreamType(int32_t, uint32_t*, uint32_t*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CheckStreamType(int32_t, uint32_t, uint32_t*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetStream(IVxReadStream**, uint32_t, int32_t, intptr_t, intptr_t,
                                        intptr_t) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE PrepareStream(int32_t, intptr_t, intptr_t, intptr_t) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetMeta(IVxReadMeta**) override { return E_NOTIMPL; }
};

const WCHAR* W(const std::u16string& text) {
    return reinterpret_cast<const WCHAR*>(text.c_str());
}

std::u16string TempMovie(const char* name) {
    return U((std::string(::testing::TempDir()) + name).c_str());
}

std::string Narrow(const std::u16string& text) {
    return std::string(text.begin(), text.end());
}

Bytes Prologue(uint32_t count) {
    return {12, 0, 0, 0, 100, 0, 0, 0, uint8_t(count), 0, 0, 0};
}

// Reads a stream to its end in pieces of `piece` bytes.
Bytes ReadToEnd(IStream* stream, ULONG piece) {
    Bytes all;
    Bytes buffer(piece);
    ULONG read = 0;
    while (stream->Read(buffer.data(), piece, &read) == S_OK)
        all.insert(all.end(), buffer.begin(), buffer.begin() + read);
    return all;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// A movie with the sample companion file written beside it.
class MetaReader : public ::testing::Test {
protected:
    void SetUp() override {
        file.path = TempMovie("reader_movie.swf");
        metatest::FillSample(source);
    }
    void TearDown() override {
        std::remove((Narrow(file.path) + ".vxmeta").c_str());
        std::remove(Narrow(TempMovie("reader_movie.vxmeta")).c_str());
    }
    void WriteCompanion() {
        ASSERT_EQ(VxFMMeta_openAndWriteMetaStreamEx(W(file.path), 1, 0, &source, 0, 0x2001), S_OK);
    }
    Bytes SummaryImage() const {
        return Cat({Prologue(2), metatest::SummaryBytes(4, U("Title of the clip")),
                    metatest::SummaryBytes(9, U("Author"))});
    }

    FakeReadFile file;
    TestMetaSource source;
};

} // namespace

TEST_F(MetaReader, WithoutCompanionFileSummaryIsMissingAndMediaAbsent) {
    CSWFReadMeta* meta = new CSWFReadMeta(&file);
    WCHAR text[16] = {'x'};
    EXPECT_EQ(meta->GetSummaryItem(4, text, 16), VX_E_NOCALLBACK);
    EXPECT_EQ(text[0], 0);
    uint32_t h0 = 5;
    EXPECT_EQ(meta->GetMediaMgrInfo(&h0, nullptr, nullptr), S_FALSE);
    EXPECT_EQ(h0, 5u);
    ComPtr<IStream> media;
    EXPECT_EQ(meta->GetMediaMgrStream(media.out()), S_FALSE);
    EXPECT_FALSE(media);

    // The summary stream exists over the empty list: just the prologue.
    ComPtr<IStream> summary;
    ASSERT_EQ(meta->GetSummaryStream(summary.out()), S_OK);
    EXPECT_EQ(ReadToEnd(summary.get(), 64), Prologue(0));
    EXPECT_EQ(meta->GetSummaryStream(nullptr), E_INVALIDARG);
    summary.Reset();
    delete meta;
    EXPECT_EQ(file.refs, 1);
}

TEST_F(MetaReader, ServesSummaryItemsById) {
    WriteCompanion();
    CSWFReadMeta* meta = new CSWFReadMeta(&file);
    WCHAR text[32];
    ASSERT_EQ(meta->GetSummaryItem(9, text, 32), S_OK);
    EXPECT_EQ(comtest::Narrow(text), "Author");
    ASSERT_EQ(meta->GetSummaryItem(4, text, 6), S_OK);
    EXPECT_EQ(comtest::Narrow(text), "Title");
    EXPECT_EQ(meta->GetSummaryItem(5, text, 32), VX_E_NOCALLBACK);

    // Capacity 0: success, and only the first character is cleared.
    WCHAR untouched[3] = {'a', 'b', 'c'};
    EXPECT_EQ(meta->GetSummaryItem(9, untouched, 0), S_OK);
    EXPECT_EQ(untouched[0], 0);
    EXPECT_EQ(untouched[1], 'b');

    EXPECT_EQ(meta->Reserved3(0, 0), E_NOTIMPL);
    EXPECT_EQ((CallSlot<HRESULT>(static_cast<IVxReadMeta*>(meta), 5, intptr_t(0), intptr_t(0))),
              E_NOTIMPL);
    delete meta;
}

TEST_F(MetaReader, ReferencesGoToTheOwnerAndInterfacesShareThem) {
    CSWFReadMeta* meta = new CSWFReadMeta(&file);
    IVxReadMediaMgrMeta* media = nullptr;
    ASSERT_EQ(meta->QueryInterface(IID_IVxReadMediaMgrMeta, reinterpret_cast<void**>(&media)),
              S_OK);
    EXPECT_EQ(file.refs, 2);
    IVxReadMeta* back = nullptr;
    ASSERT_EQ(media->QueryInterface(IID_IVxReadMeta, reinterpret_cast<void**>(&back)), S_OK);
    EXPECT_EQ(back, static_cast<IVxReadMeta*>(meta));
    void* other = &file;
    EXPECT_EQ(meta->QueryInterface(IID_IStream, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(back->Release(), 1u);
    EXPECT_EQ(media->Release(), 0u); // the reader lives on with its file
    EXPECT_EQ(file.refs, 1);
    delete meta;
}

TEST_F(MetaReader, SummaryStreamIsPrologueThenEntriesAndSeeks) {
    WriteCompanion();
    CSWFReadMeta* meta = new CSWFReadMeta(&file);
    ComPtr<IStream> stream;
    ASSERT_EQ(meta->GetSummaryStream(stream.out()), S_OK);
    const Bytes image = SummaryImage();
    EXPECT_EQ(ReadToEnd(stream.get(), 5), image);

    // At the end a read copies nothing.
    uint8_t byte = 0;
    ULONG read = 9;
    EXPECT_EQ(stream->Read(&byte, 1, &read), E_INVALIDARG);
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(stream->Read(nullptr, 1, &read), E_INVALIDARG);

    // Origin 0 with any offset goes back to the prologue.
    LARGE_INTEGER offset;
    offset.QuadPart = 12345;
    ULARGE_INTEGER position;
    position.QuadPart = 99;
    ASSERT_EQ(stream->Seek(offset, STREAM_SEEK_SET, &position), S_OK);
    EXPECT_EQ(position.QuadPart, 0u);
    EXPECT_EQ(ReadToEnd(stream.get(), 1000), image);

    // Origin 1 skips bytes; the position is the entry index.
    stream->Seek(offset, STREAM_SEEK_SET, nullptr);
    offset.QuadPart = 12 + 12 + 36 + 3;
    ASSERT_EQ(stream->Seek(offset, STREAM_SEEK_CUR, &position), S_OK);
    EXPECT_EQ(position.QuadPart, 1u);
    EXPECT_EQ(ReadToEnd(stream.get(), 7), Bytes(image.begin() + 63, image.end()));
    offset.QuadPart = 0;
    ASSERT_EQ(stream->Seek(offset, STREAM_SEEK_END, &position), S_OK);
    EXPECT_EQ(position.QuadPart, 2u);
    EXPECT_EQ(stream->Read(&byte, 1, nullptr), E_INVALIDARG);

    // The same stream is handed out again.
    ComPtr<IStream> again;
    ASSERT_EQ(meta->GetSummaryStream(again.out()), S_OK);
    EXPECT_EQ(again.get(), stream.get());
    delete meta;
    // The list went with the reader; the host's stream says so instead of reading it.
    EXPECT_EQ(stream->Read(&byte, 1, nullptr), VX_E_NOLIST);
    EXPECT_EQ(stream->Seek(offset, STREAM_SEEK_SET, nullptr), VX_E_NOLIST);
}

TEST_F(MetaReader, MediaManagerHeaderAndStream) {
    WriteCompanion();
    CSWFReadMeta* meta = new CSWFReadMeta(&file);
    uint32_t h[3] = {};
    ASSERT_EQ(meta->GetMediaMgrInfo(&h[0], &h[1], &h[2]), S_OK);
    EXPECT_EQ(h[0], 0x11u);
    EXPECT_EQ(h[1], 0x22u);
    EXPECT_EQ(h[2], 0x33u);
    IVxReadMediaMgrMeta* media = static_cast<IVxReadMediaMgrMeta*>(meta);
    ComPtr<IStream> stream;
    ASSERT_EQ(media->GetMediaMgrStream(stream.out()), S_OK);
    EXPECT_EQ(ReadToEnd(stream.get(), 3), Cat({Prologue(2), source.media[0], source.media[1]}));
    EXPECT_EQ(media->GetMediaMgrStream(nullptr), E_POINTER);
    stream.Reset();
    delete meta;
}

TEST_F(MetaReader, FindsTheOlderCompanionNameAndReportsMissingPath) {
    WriteCompanion();
    std::rename((Narrow(file.path) + ".vxmeta").c_str(),
                Narrow(TempMovie("reader_movie.vxmeta")).c_str());
    CSWFReadMeta* meta = new CSWFReadMeta(&file);
    WCHAR text[32];
    EXPECT_EQ(meta->GetSummaryItem(9, text, 32), S_OK);
    delete meta;

    // A file without a path cannot load its summary at all.
    file.path.clear();
    meta = new CSWFReadMeta(&file);
    ComPtr<IStream> stream;
    EXPECT_EQ(meta->GetSummaryStream(stream.out()), E_FAIL);
    EXPECT_EQ(meta->GetSummaryItem(9, text, 32), VX_E_NOCALLBACK);
    delete meta;
}
