// Companion metadata file bytes, served back as a host asks for them: both streams read
// in pieces, sought and read again, and every summary item they show asked for by id.
// The prologue's count must be the number of whole entries that follow, and an item's
// text the text of the first entry with its id.
#include "FuzzHost.h"

#include <cstring>

using fuzzhost::ComPtr;

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t Get32(const Bytes& bytes, size_t at) {
    uint32_t value;
    return std::memcpy(&value, bytes.data() + at, 4), value;
}

// Reads the whole stream in pieces, then again after seeking back to the start; both
// readings must agree.  Returns the offsets of the entries after the prologue, having
// checked that they fill the stream.
std::vector<size_t> ReadEntries(IStream* stream, Bytes& bytes, bool media) {
    bytes = fuzzhost::ReadStream(stream);
    FUZZ_CHECK(stream->Seek(LARGE_INTEGER{}, 0, nullptr) == S_OK);
    FUZZ_CHECK(fuzzhost::ReadStream(stream) == bytes);

    FUZZ_CHECK(bytes.size() >= 12 && Get32(bytes, 0) == 12 && Get32(bytes, 4) == 100);
    std::vector<size_t> offsets;
    for (size_t at = 12; at < bytes.size();) {
        const size_t headerEnd = at + (media ? 56 : 12);
        FUZZ_CHECK(headerEnd <= bytes.size());
        const uint64_t length =
            media ? uint64_t(Get32(bytes, at)) + Get32(bytes, at + 44) + Get32(bytes, at + 52)
                  : uint64_t(Get32(bytes, at)) + Get32(bytes, at + 8);
        FUZZ_CHECK(length >= headerEnd - at && at + length <= bytes.size());
        offsets.push_back(at);
        at += length;
    }
    FUZZ_CHECK(offsets.size() == Get32(bytes, 8));
    return offsets;
}

void CheckSummary(IVxReadMeta* meta) {
    ComPtr<IStream> stream;
    if (meta->GetSummaryStream(stream.out()) != S_OK) return;
    FUZZ_CHECK(stream);
    Bytes bytes;
    const std::vector<size_t> entries = ReadEntries(stream.get(), bytes, false);
    for (size_t entry : entries) {
        const uint32_t id = Get32(bytes, entry + 4);
        size_t first = entries[0];
        for (size_t i = 0; Get32(bytes, first + 4) != id;) first = entries[++i];
        std::u16string expected;
        const size_t end = first + 12 + Get32(bytes, first + 8);
        for (size_t p = first + 12; p + 1 < end && (bytes[p] | bytes[p + 1]); p += 2)
            expected += char16_t(bytes[p] | bytes[p + 1] << 8);
        std::vector<WCHAR> text(expected.size() + 1, 0xFFFF);
        FUZZ_CHECK(meta->GetSummaryItem(id, text.data(), int32_t(text.size())) == S_OK);
        FUZZ_CHECK(comtest::Text(text.data()) == expected);
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
    FUZZ_CHECK((served == S_OK || served == S_FALSE) && (served == S_OK) == (info == S_OK));
    Bytes bytes;
    FUZZ_CHECK(served != S_OK || stream);
    if (served == S_OK) ReadEntries(stream.get(), bytes, true);
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
    fuzzhost::WriteFile(fuzzhost::ScratchPath("movie.swf.vxmeta"), data, size);
    const ComPtr<IVxReadMeta> meta = fuzzhost::OpenMeta(movie);
    CheckMediaMgr(meta.get());
    CheckSummary(meta.get());
    return 0;
}
