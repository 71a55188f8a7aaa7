// A host metadata source filled from the input writes the companion file through the
// render-file class, and the read file serves it back.  A write that succeeds must serve
// exactly what the source gave; a write that fails must leave no file behind.
#include "FuzzHost.h"
#include "util/TestMetaSource.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>

using fuzzhost::ComPtr;
using metatest::TestMetaSource;

namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(value >> (8 * i)));
}

// Texts may hold a zero: the text then ends there.
std::u16string TextFrom(FuzzedDataProvider& input, size_t most) {
    std::u16string text(input.ConsumeIntegralInRange<size_t>(0, most), u'\0');
    for (char16_t& c : text) c = input.ConsumeIntegral<char16_t>();
    return text;
}

// A whole media-manager entry, its header possibly longer than the first version's.
Bytes Entry(FuzzedDataProvider& input) {
    const uint32_t headerSize = 56 + 4 * input.ConsumeIntegralInRange<uint32_t>(0, 3);
    const std::u16string name = TextFrom(input, 16);
    const Bytes data = input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange(0, 64));
    Bytes bytes;
    Put32(bytes, headerSize);
    for (int word = 1; word < 11; ++word) Put32(bytes, input.ConsumeIntegral<uint32_t>());
    Put32(bytes, uint32_t(name.size() + 1) * 2);
    Put32(bytes, input.ConsumeIntegral<uint32_t>());
    Put32(bytes, uint32_t(data.size()));
    bytes.resize(headerSize, 0xEE);
    metatest::AppendWide(bytes, name);
    return bytes.insert(bytes.end(), data.begin(), data.end()), bytes;
}

// Whether the writer must take `entry`: its three lengths add up to its size.
bool Whole(const Bytes& entry) {
    uint32_t words[14];
    return entry.size() >= 56 && std::memcpy(words, entry.data(), sizeof(words)) &&
           words[0] >= 56 && words[0] % 4 == 0 &&
           uint64_t(words[0]) + words[11] + words[13] == entry.size();
}

void Fill(TestMetaSource& source, FuzzedDataProvider& input) {
    source.items.resize(input.ConsumeIntegralInRange<size_t>(0, 8));
    for (TestMetaSource::Item& item : source.items) {
        item.id = input.ConsumeBool() ? input.ConsumeIntegralInRange<uint32_t>(0, 3)
                                      : input.ConsumeIntegral<uint32_t>();
        item.text = TextFrom(input, 64);
    }
    source.mediaPresent = input.ConsumeBool();
    for (uint32_t& value : source.header) value = input.ConsumeIntegral<uint32_t>();
    source.media.resize(input.ConsumeIntegralInRange<size_t>(0, 4));
    for (Bytes& entry : source.media)
        entry = input.ConsumeBool()
                    ? Entry(input)
                    : input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange(0, 128));
    source.hasFileId = input.ConsumeBool();
    source.fileId = {};
    const Bytes id = input.ConsumeBytes<uint8_t>(sizeof(source.fileId));
    if (!id.empty()) std::memcpy(&source.fileId, id.data(), id.size());
}

// A stream as the read side must serve it: the prologue, then the entries.
Bytes Stream(const std::vector<Bytes>& entries) {
    Bytes bytes;
    for (uint32_t word : {12u, 100u, uint32_t(entries.size())}) Put32(bytes, word);
    for (const Bytes& entry : entries) bytes.insert(bytes.end(), entry.begin(), entry.end());
    return bytes;
}

HRESULT Write(const std::u16string& movie, TestMetaSource& source, bool from, uint32_t set) {
    ComPtr<IVxRenderFileClass> renderClass;
    FUZZ_CHECK(fuzzhost::Library().Create(CLSID_VxSWFPlugin, IID_IVxRenderFileClass,
                                          renderClass.out()) == S_OK);
    ComPtr<IVxRenderFileClassEx3> ex3;
    FUZZ_CHECK(renderClass->QueryInterface(IID_IVxRenderFileClassEx3, ex3.outVoid()) == S_OK);
    ComPtr<IVxRenderFile> file;
    FUZZ_CHECK(ex3->CreateRenderFile(file.out(), fuzzhost::W(movie), 0, 0, set) == S_OK);
    FUZZ_CHECK(file->SetMetaSource(&source) == S_OK);
    return from ? file->WriteMetaFrom(set) : file->WriteMeta(0);
}

void CheckReadBack(const std::u16string& movie, const TestMetaSource& source) {
    const ComPtr<IVxReadMeta> meta = fuzzhost::OpenMeta(movie);
    ComPtr<IStream> summary;
    FUZZ_CHECK(meta->GetSummaryStream(summary.out()) == S_OK && summary);
    std::vector<Bytes> entries;
    for (const TestMetaSource::Item& item : source.items)
        entries.push_back(metatest::SummaryBytes(item.id, item.text.c_str()));
    FUZZ_CHECK(fuzzhost::ReadStream(summary.get()) == Stream(entries));
    ComPtr<IVxReadMediaMgrMeta> media;
    FUZZ_CHECK(meta->QueryInterface(IID_IVxReadMediaMgrMeta, media.outVoid()) == S_OK);
    uint32_t header[3] = {};
    const HRESULT info = media->GetMediaMgrInfo(&header[0], &header[1], &header[2]);
    ComPtr<IStream> stream;
    const HRESULT served = media->GetMediaMgrStream(stream.out());
    FUZZ_CHECK(source.mediaPresent || (info == S_FALSE && served == S_FALSE));
    if (!source.mediaPresent) return;
    FUZZ_CHECK(info == S_OK && std::memcmp(header, source.header, sizeof(header)) == 0);
    FUZZ_CHECK(served == S_OK && stream);
    FUZZ_CHECK(fuzzhost::ReadStream(stream.get()) == Stream(source.media));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzhost::Start();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string moviePath = fuzzhost::ScratchPath("movie.swf");
    static const std::u16string movie = fuzzhost::Wide(moviePath);
    std::remove((moviePath + ".vxmeta").c_str());

    FuzzedDataProvider input(data, size);
    const bool from = input.ConsumeBool();
    const uint32_t set = input.ConsumeIntegral<uint32_t>();
    TestMetaSource source;
    Fill(source, input);
    const HRESULT written = Write(movie, source, from, set);
    FUZZ_CHECK(source.refs == 1);
    bool mustSucceed = true;
    for (const Bytes& entry : source.media) mustSucceed &= !source.mediaPresent || Whole(entry);
    FUZZ_CHECK(mustSucceed ? written == S_OK : FAILED(written));
    if (mustSucceed) CheckReadBack(movie, source);
    // Nothing but a written companion is left in the folder: no temporary files.
    for (const auto& entry : std::filesystem::directory_iterator(fuzzhost::scratch))
        FUZZ_CHECK(mustSucceed && entry.path().filename() == "movie.swf.vxmeta");
    return 0;
}
