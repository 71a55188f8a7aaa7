#include "util/VxMetaFormat.h"

#include <algorithm>

namespace {

constexpr size_t kChunkHeader = 8;
constexpr size_t kFormHeader = 12;

bool VersionKnown(const std::vector<VxMetaChunk>& chunks) {
    const VxMetaChunk* version = VxMeta_FindChunk(chunks, kVxMetaVersionChunk);
    // Files without a version chunk are read as the first version.
    if (!version || version->size < 4) return true;
    return VxMeta_Get32(version->data) == kVxMetaMajorVersion;
}

void PutFourCC(std::vector<uint8_t>& out, uint32_t id) {
    VxMeta_Put32(out, id);
}

} // namespace

uint32_t VxMeta_Get32(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
           uint32_t(bytes[3]) << 24;
}

void VxMeta_Put32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(uint8_t(value >> shift));
}

bool VxMeta_ParseImage(const uint8_t* bytes, size_t length, std::vector<VxMetaChunk>& chunks) {
    chunks.clear();
    if (!bytes || length < kFormHeader) return false;
    if (VxMeta_Get32(bytes) != kVxMetaRiff || VxMeta_Get32(bytes + 8) != kVxMetaForm) return false;
    // A form size beyond the image means a cut-short file: read what is there.
    const size_t end = std::min(length, size_t(VxMeta_Get32(bytes + 4)) + 8);
    size_t at = kFormHeader;
    while (end >= kChunkHeader && at <= end - kChunkHeader) {
        const uint32_t id = VxMeta_Get32(bytes + at);
        const size_t declared = VxMeta_Get32(bytes + at + 4);
        const size_t size = std::min(declared, end - at - kChunkHeader);
        chunks.push_back({id, bytes + at + kChunkHeader, uint32_t(size)});
        at += kChunkHeader + size + (size & 1); // chunks are padded to even lengths
    }
    if (VersionKnown(chunks)) return true;
    chunks.clear();
    return false;
}

const VxMetaChunk* VxMeta_FindChunk(const std::vector<VxMetaChunk>& chunks, uint32_t id) {
    auto found = std::find_if(chunks.begin(), chunks.end(),
                              [id](const VxMetaChunk& chunk) { return chunk.id == id; });
    return found == chunks.end() ? nullptr : &*found;
}

uint32_t VxMeta_SummaryEntryLength(const uint8_t* entry, size_t available) {
    if (available < kVxSummaryHeaderBytes) return 0;
    const uint32_t headerSize = VxMeta_Get32(entry);
    const uint64_t textBytes = VxMeta_Get32(entry + 8);
    // The text always starts right after the three header words.
    if (headerSize != kVxSummaryHeaderBytes || textBytes % 2 != 0) return 0;
    const uint64_t length = headerSize + textBytes;
    return length <= available ? uint32_t(length) : 0;
}

uint32_t VxMeta_MediaMgrEntryLength(const uint8_t* entry, size_t available) {
    if (available < kVxMediaMgrHeaderBytes) return 0;
    const uint64_t headerSize = VxMeta_Get32(entry);
    if (headerSize < kVxMediaMgrHeaderBytes || headerSize % 4 != 0) return 0;
    const uint64_t length = headerSize + VxMeta_Get32(entry + 44) + VxMeta_Get32(entry + 52);
    return length <= available ? uint32_t(length) : 0;
}

namespace {

std::vector<VxMetaEntry> WalkEntries(const uint8_t* at, size_t available, uint32_t count,
                                     uint32_t (*lengthOf)(const uint8_t*, size_t)) {
    std::vector<VxMetaEntry> entries;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t length = lengthOf(at, available);
        if (length == 0) break;
        entries.push_back({at, length});
        at += length;
        available -= length;
    }
    return entries;
}

} // namespace

std::vector<VxMetaEntry> VxMeta_SummaryEntries(const VxMetaChunk& chunk) {
    if (chunk.size < 4) return {};
    return WalkEntries(chunk.data + 4, chunk.size - 4, VxMeta_Get32(chunk.data),
                       VxMeta_SummaryEntryLength);
}

VxMediaMgrContent VxMeta_MediaMgrContent(const VxMetaChunk& chunk) {
    VxMediaMgrContent content;
    if (chunk.size < kVxMediaMgrPrologueBytes) return content;
    for (int i = 0; i < 3; ++i) content.header[i] = VxMeta_Get32(chunk.data + 4 * i);
    content.present = VxMeta_Get32(chunk.data + 12) != 0 ? 1 : 0;
    content.entries =
        WalkEntries(chunk.data + kVxMediaMgrPrologueBytes, chunk.size - kVxMediaMgrPrologueBytes,
                    VxMeta_Get32(chunk.data + 16), VxMeta_MediaMgrEntryLength);
    return content;
}

VxMetaImageBuilder::VxMetaImageBuilder() {
    PutFourCC(bytes_, kVxMetaRiff);
    VxMeta_Put32(bytes_, 0); // filled in by Finish
    PutFourCC(bytes_, kVxMetaForm);
    std::vector<uint8_t> version;
    VxMeta_Put32(version, kVxMetaMajorVersion);
    VxMeta_Put32(version, kVxMetaMinorVersion);
    AddChunk(kVxMetaVersionChunk, version);
}

void VxMetaImageBuilder::AddChunk(uint32_t id, const std::vector<uint8_t>& data) {
    AddChunk(id, data.data(), uint32_t(data.size()));
}

void VxMetaImageBuilder::AddChunk(uint32_t id, const uint8_t* data, uint32_t size) {
    PutFourCC(bytes_, id);
    VxMeta_Put32(bytes_, size);
    bytes_.insert(bytes_.end(), data, data + size);
    if (size & 1) bytes_.push_back(0);
}

const std::vector<uint8_t>& VxMetaImageBuilder::Finish() {
    const uint32_t formSize = uint32_t(bytes_.size() - 8);
    for (int i = 0; i < 4; ++i) bytes_[4 + i] = uint8_t(formSize >> (8 * i));
    return bytes_;
}
