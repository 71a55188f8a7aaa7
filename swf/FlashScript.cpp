#include "swf/FlashScript.h"

#include "base/RecordConversions.h"
#include "base/TagCodes.h"
#include "platform/Win32.h"

#include <cstring>
#include <string_view>

namespace UT {

namespace {

constexpr uint32_t kMinimumFileLength = 21;
constexpr uint32_t kHeaderRecordsOffset = 8;
constexpr size_t kPathCapacity = 260;

uint32_t LittleEndian32(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
           uint32_t(bytes[3]) << 24;
}

} // namespace

FlashScript::FlashScript() {
    movie = this;
}

FlashScript::~FlashScript() {
    // Placed items may hold characters that read the image, so they go before it.
    ClearDisplayList();
    ReleaseImage();
}

void FlashScript::ReleaseImage() {
    // Characters keep offsets into the image, so they go first.
    dictionary.clear();
    keptDefinitions.clear();
    SetStream(nullptr, 0, 0, 0);
    if (image) GlobalFree(image);
    image = nullptr;
}

bool FlashScript::LoadFile(const char* path) {
    if (!path) return false;
    char buffer[kPathCapacity] = {};
    std::strncpy(buffer, path, kPathCapacity - 1);
    HANDLE file = CreateFileA(buffer, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const DWORD size = GetFileSize(file, nullptr);
    uint8_t* loaded = nullptr;
    if (size != 0) {
        loaded = static_cast<uint8_t*>(GlobalAlloc(GPTR, size));
        DWORD read = 0;
        if (loaded && (!ReadFile(file, loaded, size, &read, nullptr) || read != size)) {
            GlobalFree(loaded);
            loaded = nullptr;
        }
    }
    CloseHandle(file);
    return loaded ? Parse(loaded, size) : false;
}

bool FlashScript::Parse(uint8_t* newImage, uint32_t size) {
    if (newImage != image) {
        ReleaseImage();
        image = newImage;
    }
    // Until the header is accepted the stream has no length, so no tag loop runs.
    SetStream(image, 0, 0, size);
    if (!image || size < 9 || std::memcmp(image, "FWS", 3) != 0) return false;
    version = image[3];
    const uint32_t fileLength = LittleEndian32(image + 4);
    if (fileLength < kMinimumFileLength || fileLength != size) return false;

    SetStream(image, fileLength, kHeaderRecordsOffset, size);
    frameRect = ToRectF(ReadRect());
    frameRate = float(ReadUI16()) * (1.0f / 256.0f);
    frameCount = ReadUI16();
    firstTag = position;
    return true;
}

void FlashScript::Rewind() {
    FlashSubScript::Rewind();
    dictionary.clear();
}

bool FlashScript::HandleTag(uint16_t code) {
    switch (code) {
    case kTagDefineShape:
    case kTagDefineShape2:
        HandleDefineShape(2);
        return false;
    case kTagDefineShape3:
        HandleDefineShape(3);
        return false;
    case kTagDefineShape4:
        HandleDefineShape(4);
        return false;
    case kTagDefineMorphShape:
        HandleDefineMorphShape(1);
        return false;
    case kTagDefineMorphShape2:
        HandleDefineMorphShape(2);
        return false;
    case kTagDefineBits:
        HandleDefineBitmap(0);
        return false;
    case kTagDefineBitsJPEG2:
        HandleDefineBitmap(1);
        return false;
    case kTagDefineBitsJPEG3:
        HandleDefineBitmap(2);
        return false;
    case kTagDefineBitsLossless:
        HandleDefineBitmap(3);
        return false;
    case kTagDefineBitsLossless2:
        HandleDefineBitmap(4);
        return false;
    case kTagDefineBitsJPEG4:
        HandleDefineBitmap(5);
        return false;
    case kTagDefineFont:
        HandleDefineFont(1);
        return false;
    case kTagDefineFont2:
        HandleDefineFont(2);
        return false;
    case kTagDefineFont3:
        HandleDefineFont(3);
        return false;
    case kTagDefineFontInfo:
        HandleDefineFontInfo();
        return false;
    case kTagDefineText:
        HandleDefineText(0);
        return false;
    case kTagDefineText2:
        HandleDefineText(1);
        return false;
    case kTagDefineEditText:
        HandleDefineText(2);
        return false;
    case kTagDefineButton:
        HandleDefineButton(0);
        return false;
    case kTagDefineButton2:
        HandleDefineButton(1);
        return false;
    case kTagDefineButtonCxform:
        HandleDefineButtonCxform();
        return false;
    case kTagDefineSprite:
        HandleDefineSprite();
        return false;
    case kTagJPEGTables:
        HandleJPEGTables();
        return false;
    case kTagSetBackgroundColor:
        HandleSetBackgroundColor();
        return false;
    case kTagFreeCharacter:
        HandleFreeCharacter();
        return false;
    case kTagNameCharacter:
        HandleNameCharacter();
        return false;
    default:
        return FlashSubScript::HandleTag(code);
    }
}

void FlashScript::DefineCharacter(FObject* object) {
    if (object) dictionary[object->Id()] = object;
}

Held<FObject> FlashScript::FindCharacter(uint32_t id) const {
    const auto entry = dictionary.find(id);
    return entry == dictionary.end() ? Held<FObject>() : entry->second;
}

Held<FFont> FlashScript::FindFont(uint32_t id) const {
    return dynamic_cast<FFont*>(FindCharacter(id).Get());
}

FFont* FlashScript::FindFontByName(const std::string& name, bool bold, bool italic) const {
    auto trimmed = [](std::string_view s) {
        while (!s.empty() && s.back() == '\0') s.remove_suffix(1);
        return s;
    };
    const std::string_view wanted = trimmed(name);
    FFont* sameName = nullptr;
    for (const auto& [id, character] : dictionary) {
        FFont* candidate = dynamic_cast<FFont*>(character.Get());
        if (!candidate || trimmed(candidate->FontName()) != wanted) continue;
        if (candidate->Bold() == bold && candidate->Italic() == italic) return candidate;
        if (!sameName) sameName = candidate;
    }
    return sameName;
}

FFont* FlashScript::FindDeviceFont(std::string_view name, bool bold, bool italic) {
    if (!deviceFonts) deviceFonts = std::make_unique<DeviceFonts>(this);
    return deviceFonts->Find(name, bold, italic);
}

Held<FButton> FlashScript::FindButton(uint32_t id) const {
    return dynamic_cast<FButton*>(FindCharacter(id).Get());
}

void FlashScript::FreeCharacter(uint32_t id) {
    dictionary.erase(id);
}

void FlashScript::NameCharacter(uint32_t id, const char* name) {
    const auto entry = dictionary.find(id);
    if (entry != dictionary.end() && entry->second) entry->second->SetName(name);
}

} // namespace UT
