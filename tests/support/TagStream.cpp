#include "TagStream.h"

#include <stdexcept>

namespace swftest {

namespace {

constexpr uint32_t kLongLengthMark = 0x3F;

} // namespace

std::vector<uint8_t> TagStream::Header(uint16_t code, uint32_t length, bool longForm) {
    if (code > 0x3FF) throw std::invalid_argument("tag code above 10 bits");
    if (!longForm && length >= kLongLengthMark)
        throw std::invalid_argument("short tag header cannot hold this length");
    BitWriter header;
    header.UI16(uint16_t(code << 6 | (longForm ? kLongLengthMark : length)));
    if (longForm) header.UI32(length);
    return header.Data();
}

TagStream& TagStream::Tag(uint16_t code, const std::vector<uint8_t>& body) {
    const bool longForm = body.size() >= kLongLengthMark;
    Raw(Header(code, uint32_t(body.size()), longForm));
    return Raw(body);
}

TagStream& TagStream::LongTag(uint16_t code, const std::vector<uint8_t>& body) {
    Raw(Header(code, uint32_t(body.size()), true));
    return Raw(body);
}

TagStream& TagStream::Raw(const std::vector<uint8_t>& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
    return *this;
}

TagStream& TagStream::ShowFrame() {
    ++showFrames;
    return Tag(kShowFrame);
}

TagStream& TagStream::SetBackgroundColor(uint8_t red, uint8_t green, uint8_t blue) {
    return Tag(kSetBackgroundColor, BitWriter().RGB(red, green, blue));
}

TagStream& TagStream::FreeCharacter(uint16_t id) {
    return Tag(kFreeCharacter, BitWriter().UI16(id));
}

TagStream& TagStream::NameCharacter(uint16_t id, std::string_view name) {
    return Tag(kNameCharacter, BitWriter().UI16(id).String(name));
}

TagStream& TagStream::JPEGTables(const std::vector<uint8_t>& tables) {
    return Tag(kJPEGTables, tables);
}

} // namespace swftest
