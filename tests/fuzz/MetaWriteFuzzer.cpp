// The render-file side: a host metadata source whose summary texts, media-manager entries
// and identifiers come from the input writes the companion file through the render-file
// class, and the read file serves it back.  A write that succeeds must serve exactly what
// the source gave; a write that fails must leave no file behind.
#include "FuzzHost.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>

using fuzzhost::ComPtr;

namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(value >> (8 * i)));
}

void PutText(Bytes& bytes, const std::u16string& text) {
    for (char16_t c : text) {
        bytes.push_back(uint8_t(c));
        bytes.push_back(uint8_t(c >> 8));
    }
    bytes.insert(bytes.end(), 2, 0);
}

std::u16string TextFrom(FuzzedDataProvider& input, size_t most) {
    std::u16string text(input.ConsumeIntegralInRange<size_t>(0, most), u'\0');
    for (char16_t& c : text) c = input.ConsumeIntegral<char16_t>();
    return text;
}

// The source, as a host keeps it.
class FuzzedSource final : public IVxMetaSource {
public:
    struct Item {
        uint32_t id;
        std::u16string text; // may hold a zero: the text then ends there
    };
    std::vector<Item> items;
    bool mediaPresent = false;
    uint32_t header[3] = {};
    std::vector<Bytes> media;
    GUID fileId = {};
    bool hasFileId = false;

    explicit FuzzedSource(FuzzedDataProvider& input) {
        items.resize(input.ConsumeIntegralInRange<size_t>(0, 8));
        for (Item& item : items) {
            item.id = input.ConsumeBool() ? input.ConsumeIntegralInRange<uint32_t>(0, 3)
                                          : input.ConsumeIntegral<uint32_t>();
            item.text = TextFrom(input, 64);
        }
        mediaPresent = input.ConsumeBool();
        for (uint32_t& value : header) value = input.ConsumeIntegral<uint32_t>();
        media.resize(input.ConsumeIntegralInRange<size_t>(0, 4));
        for (Bytes& entry : media) entry = input.ConsumeBool() ? Entry(input) : Raw(input);
        hasFileId = input.ConsumeBool();
        const Bytes id = input.ConsumeBytes<uint8_t>(sizeof(fileId));
        if (!id.empty()) std::memcpy(&fileId, id.data(), id.size());
    }

    // A whole entry, its header possibly longer than the first version's.
    static Bytes Entry(FuzzedDataProvider& input) {
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
        PutText(bytes, name);
        bytes.insert(bytes.end(), data.begin(), data.end());
        return bytes;
    }
    // Bytes whose lengths need not add up.
    static Bytes Raw(FuzzedDataProvider& input) {
        return input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange(0, 128));
    }
    // Whether the writer must take `entry`: its three lengths add up to its size.
    static bool Whole(const Bytes& entry) {
        if (entry.size() < 56) return false;
        uint32_t words[14];
        std::memcpy(words, entry.data(), sizeof(words));
        return words[0] >= 56 && words[0] % 4 == 0 &&
               uint64_t(words[0]) + words[11] + words[13] == entry.size();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        *object = nullptr;
        if (riid != IID_IUnknown && riid != IID_IVxMetaSource) return E_NOINTERFACE;
        *object = static_cast<IVxMetaSource*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(++refs); }
    ULONG STDMETHODCALLTYPE Release() override { return ULONG(--refs); }
    HRESULT STDMETHODCALLTYPE GetSummaryCount(uint32_t, int32_t* count) override {
        *count = int32_t(items.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSummaryItem(uint32_t, int32_t index, uint32_t* id,
                                             const WCHAR** text) override {
        FUZZ_CHECK(index >= 0 && size_t(index) < items.size());
        *id = items[size_t(index)].id;
        *text = fuzzhost::W(items[size_t(index)].text);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMediaMgrInfo(uint32_t, uint32_t out[3]) override {
        std::memcpy(out, header, sizeof(header));
        return mediaPresent ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE GetMediaMgrCount(uint32_t, int32_t* count) override {
        *count = int32_t(media.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMediaMgrEntry(uint32_t, int32_t index, const void** entry,
                                               uint32_t* length) override {
        FUZZ_CHECK(index >= 0 && size_t(index) < media.size());
        *entry = media[size_t(index)].data();
        *length = uint32_t(media[size_t(index)].size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetFileId(GUID* id) override {
        *id = fileId;
        return hasFileId ? S_OK : S_FALSE;
    }

    bool WriteMustSucceed() const {
        if (!mediaPresent) return true;
        for (const Bytes& entry : media)
            if (!Whole(entry)) return false;
        return true;
    }
    // The summary stream's bytes as the read side must serve them.
    Bytes SummaryStream() const {
        Bytes bytes;
        Put32(bytes, 12);
        Put32(bytes, 100);
        Put32(bytes, uint32_t(items.size()));
        for (const Item& item : items) {
            const std::u16string text(item.text.c_str());
            Put32(bytes, 12);
            Put32(bytes, item.id);
            Put32(bytes, uint32_t(text.size() + 1) * 2);
            PutText(bytes, text);
        }
        return bytes;
    }
    Bytes MediaStream() const {
        Bytes bytes;
        Put32(bytes, 12);
        Put32(bytes, 100);
        Put32(bytes, uint32_t(media.size()));
        for (const Bytes& entry : media) bytes.insert(bytes.end(), entry.begin(), entry.end());
        return bytes;
    }

    int refs = 1;
};

HRESULT Write(const std::u16string& movie, FuzzedSource& source, bool from, uint32_t set) {
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

void CheckReadBack(const std::u16string& movie, const FuzzedSource& source) {
    const ComPtr<IVxReadMeta> meta = fuzzhost::OpenMeta(movie);

    ComPtr<IStream> summary;
    FUZZ_CHECK(meta->GetSummaryStream(summary.out()) == S_OK && summary);
    FUZZ_CHECK(fuzzhost::ReadStream(summary.get()) == source.SummaryStream());
    for (size_t i = 0; i < source.items.size(); ++i) {
        size_t first = 0;
        while (source.items[first].id != source.items[i].id) ++first;
        const std::u16string expected(source.items[first].text.c_str());
        std::vector<WCHAR> text(expected.size() + 1, 0xFFFF);
        FUZZ_CHECK(meta->GetSummaryItem(source.items[i].id, text.data(), int32_t(text.size())) ==
                   S_OK);
        FUZZ_CHECK(comtest::Text(text.data()) == expected);
    }

    ComPtr<IVxReadMediaMgrMeta> media;
    FUZZ_CHECK(meta->QueryInterface(IID_IVxReadMediaMgrMeta, media.outVoid()) == S_OK);
    uint32_t header[3] = {};
    const HRESULT info = media->GetMediaMgrInfo(&header[0], &header[1], &header[2]);
    ComPtr<IStream> stream;
    const HRESULT served = media->GetMediaMgrStream(stream.out());
    if (!source.mediaPresent) {
        FUZZ_CHECK(info == S_FALSE && served == S_FALSE);
        return;
    }
    FUZZ_CHECK(info == S_OK && std::memcmp(header, source.header, sizeof(header)) == 0);
    FUZZ_CHECK(served == S_OK && stream);
    FUZZ_CHECK(fuzzhost::ReadStream(stream.get()) == source.MediaStream());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzhost::Start();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string moviePath = fuzzhost::ScratchPath("movie.swf");
    static const std::u16string movie = fuzzhost::Wide(moviePath);
    static const std::string companion = moviePath + ".vxmeta";
    std::remove(companion.c_str());

    FuzzedDataProvider input(data, size);
    const bool from = input.ConsumeBool();
    const uint32_t set = input.ConsumeIntegral<uint32_t>();
    FuzzedSource source(input);
    const HRESULT written = Write(movie, source, from, set);
    FUZZ_CHECK(source.refs == 1);
    if (source.WriteMustSucceed()) {
        FUZZ_CHECK(written == S_OK);
        CheckReadBack(movie, source);
    } else {
        FUZZ_CHECK(FAILED(written));
        FUZZ_CHECK(!fuzzhost::FileExists(companion));
    }
    // Nothing but the companion is left in the folder: no temporary files.
    const std::vector<std::string> names = fuzzhost::ScratchNames();
    FUZZ_CHECK(names.empty() || (names.size() == 1 && names[0] == "movie.swf.vxmeta"));
    return 0;
}
