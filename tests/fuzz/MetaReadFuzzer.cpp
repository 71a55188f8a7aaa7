// Companion metadata file bytes, served back as a host asks for them: the summary and
// media-manager streams read in pieces, sought and read again, and every summary item
// that the stream shows asked for by id.  What the streams serve must hang together: the
// prologue's count is the number of whole entries that follow, and an item's text is the
// text of the first entry with its id.
#include "FuzzHost.h"

#include <cstring>

using fuzzhost::ComPtr;

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t Get32(const Bytes& bytes, size_t at) {
    uint32_t value;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

// The entries after the prologue, each as its offset; checks that they fill the stream.
std::vector<size_t> Entries(const Bytes& stream, bool media) {
    FUZZ_CHECK(stream.size() >= 12);
    FUZZ_CHECK(Get32(stream, 0) == 12 && Get32(stream, 4) == 100);
    std::vector<size_t> offsets;
    size_t at = 12;
    while (at < stream.size()) {
        const size_t headerEnd = at + (media ? 56 : 12);
        FUZZ_CHECK(headerEnd <= stream.size());
        const uint64_t length =
            media ? uint64_t(Get32(stream, at)) + Get32(stream, at + 44) + Get32(stream, at + 52)
                  : uint64_t(Get32(stream, at)) + Get32(stream, at + 8);
        FUZZ_CHECK(length >= headerEnd - at && at + length <= stream.size());
        offsets.push_back(at);
        at += length;
    }
    FUZZ_CHECK(offsets.size() == Get32(stream, 8));
    return offsets;
}

// Reads the whole stream in pieces, then again after seeking back, past the end and
// forward; the second reading must equal the first.
Bytes ReadAndSeek(IStream* stream) {
    const Bytes bytes = fuzzhost::ReadStream(stream);
    ULARGE_INTEGER position = {};
    LARGE_INTEGER offset = {};
    FUZZ_CHECK(stream->Seek(offset, 2, &position) == S_OK);
    FUZZ_CHECK(fuzzhost::ReadStream(stream).empty());
    offset.QuadPart = 123;
    FUZZ_CHECK(stream->Seek(offset, 0, &position) == S_OK && position.QuadPart == 0);
    FUZZ_CHECK(fuzzhost::ReadStream(stream) == bytes);
    stream->Seek(LARGE_INTEGER{}, 0, nullptr);
    offset.QuadPart = 1;
    FUZZ_CHECK(stream->Seek(offset, 1, &position) == S_OK);
    fuzzhost::ReadStream(stream);
    return bytes;
}

std::u16string TextOfEntry(const Bytes& stream, size_t at) {
    std::u16string text;
    const size_t end = at + 12 + Get32(stream, at + 8);
    for (size_t p = at + 12; p + 1 < end; p += 2) {
        const char16_t c = char16_t(stream[p] | stream[p + 1] << 8);
        if (c == 0) break;
        text += c;
    }
    return text;
}

void CheckSummary(IVxReadMeta* meta) {
    ComPtr<IStream> stream;
    if (meta->GetSummaryStream(stream.out()) != S_OK) return;
    FUZZ_CHECK(stream);
    const Bytes bytes = ReadAndSeek(stream.get());
    const std::vector<size_t> entries = Entries(bytes, false);
    for (size_t i = 0; i < entries.size(); ++i) {
        const uint32_t id = Get32(bytes, entries[i] + 4);
        size_t first = 0;
        while (Get32(bytes, entries[first] + 4) != id) ++first;
        const std::u16string expected = TextOfEntry(bytes, entries[first]);
        std::vector<WCHAR> text(expected.size() + 1, 0xFFFF);
        FUZZ_CHECK(meta->GetSummaryItem(id, text.data(), int32_t(text.size())) == S_OK);
        FUZZ_CHECK(comtest::Text(text.data()) == expected);
        // A buffer one character short gets the text cut and terminated.
        if (!expected.empty()) {
            std::vector<WCHAR> shorter(expected.size(), 0xFFFF);
            FUZZ_CHECK(meta->GetSummaryItem(id, shorter.data(), int32_t(shorter.size())) == S_OK);
            FUZZ_CHECK(comtest::Text(shorter.data()) == expected.substr(0, expected.size() - 1));
        }
    }
    WCHAR none[4];
    if (entries.empty()) FUZZ_CHECK(meta->GetSummaryItem(7, none, 4) == VX_E_NOCALLBACK);
}

void CheckMediaMgr(IVxReadMeta* meta) {
    ComPtr<IVxReadMediaMgrMeta> media;
    FUZZ_CHECK(meta->QueryInterface(IID_IVxReadMediaMgrMeta, media.outVoid()) == S_OK);
    uint32_t header[3] = {};
    const HRESULT info = media->GetMediaMgrInfo(&header[0], &header[1], &header[2]);
    ComPtr<IStream> stream;
    const HRESULT served = media->GetMediaMgrStream(stream.out());
    FUZZ_CHECK(served == S_OK || served == S_FALSE);
    FUZZ_CHECK((served == S_OK) == (info == S_OK));
    if (served != S_OK) return;
    FUZZ_CHECK(stream);
    Entries(ReadAndSeek(stream.get()), true);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzhost::Start();
    // The movie only has to exist: the reader looks for its companion beside it.
    const uint8_t movie[] = {'F', 'W', 'S', 6, 21, 0, 0, 0, 0x50, 0, 0,
                             0,   0,   0,   0, 0,  0, 0, 0, 0,    0};
    fuzzhost::WriteFile(fuzzhost::ScratchPath("movie.swf"), movie, sizeof(movie));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::u16string movie = fuzzhost::Wide(fuzzhost::ScratchPath("movie.swf"));
    static const std::string companion = fuzzhost::ScratchPath("movie.swf.vxmeta");
    fuzzhost::WriteFile(companion, data, size);
    const ComPtr<IVxReadMeta> meta = fuzzhost::OpenMeta(movie);
    CheckMediaMgr(meta.get());
    CheckSummary(meta.get());
    return 0;
}
