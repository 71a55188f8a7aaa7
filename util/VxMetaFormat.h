// The companion metadata file's chunk layout in memory: splitting a file image into its
// chunks, walking the entries of the summary and media-manager chunks with every length
// checked, and building a new image.  Layout: docs/metadata-format.md.
#pragma once

#include "platform/Win32.h"

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr uint32_t VxFourCC(char a, char b, char c, char d) {
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 |
           uint32_t(uint8_t(d)) << 24;
}

constexpr uint32_t kVxMetaRiff = VxFourCC('R', 'I', 'F', 'F');
constexpr uint32_t kVxMetaForm = VxFourCC('V', 'X', 'M', 'D');
constexpr uint32_t kVxMetaVersionChunk = VxFourCC('m', 'v', 'e', 'r');
constexpr uint32_t kVxMetaSummaryChunk = VxFourCC('s', 'u', 'm', 'm');
constexpr uint32_t kVxMetaMediaMgrChunk = VxFourCC('m', 'm', 'g', 'r');
constexpr uint32_t kVxMetaFileIdChunk = VxFourCC('f', 'i', 'd', ' ');

// Readers accept this major version only; minor versions only add what readers skip.
constexpr uint32_t kVxMetaMajorVersion = 1;
constexpr uint32_t kVxMetaMinorVersion = 0;
// Larger files are refused by readers and never produced by writers.
constexpr uint32_t kVxMetaMaxFileBytes = 16u << 20;

constexpr uint32_t kVxSummaryHeaderBytes = 12;
constexpr uint32_t kVxMediaMgrHeaderBytes = 56;
// Header values, present flag and entry count ahead of the media-manager entries.
constexpr uint32_t kVxMediaMgrPrologueBytes = 20;

uint32_t VxMeta_Get32(const uint8_t* bytes);
void VxMeta_Put32(std::vector<uint8_t>& out, uint32_t value);

struct VxMetaChunk {
    uint32_t id;
    const uint8_t* data;
    uint32_t size;
};

// Splits a file image into its chunks.  False when the image is not a companion file or
// carries a major version this reader does not know.  A chunk cut short by the end of the
// image keeps the bytes that are there.
bool VxMeta_ParseImage(const uint8_t* bytes, size_t length, std::vector<VxMetaChunk>& chunks);
// The first chunk with `id`, or null.
const VxMetaChunk* VxMeta_FindChunk(const std::vector<VxMetaChunk>& chunks, uint32_t id);

// The serialised length of the entry at `entry` when it is whole within `available`
// bytes, else 0.
uint32_t VxMeta_SummaryEntryLength(const uint8_t* entry, size_t available);
uint32_t VxMeta_MediaMgrEntryLength(const uint8_t* entry, size_t available);

// An entry found inside a chunk.
struct VxMetaEntry {
    const uint8_t* bytes;
    uint32_t length;
};

// The whole entries of a summary chunk, in order; the walk stops at the first damaged one.
std::vector<VxMetaEntry> VxMeta_SummaryEntries(const VxMetaChunk& chunk);

struct VxMediaMgrContent {
    uint32_t header[3] = {};
    uint32_t present = 0;
    std::vector<VxMetaEntry> entries;
};
// The header, present flag and whole entries of a media-manager chunk.
VxMediaMgrContent VxMeta_MediaMgrContent(const VxMetaChunk& chunk);

// Builds a companion file image: the form header and version chunk, then chunks in the
// order added.
class VxMetaImageBuilder {
public:
    VxMetaImageBuilder();
    void AddChunk(uint32_t id, const std::vector<uint8_t>& data);
    void AddChunk(uint32_t id, const uint8_t* data, uint32_t size);
    // The finished image, its form size filled in.
    const std::vector<uint8_t>& Finish();

private:
    std::vector<uint8_t> bytes_;
};
