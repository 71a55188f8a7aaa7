// The device fonts of one movie: the bundled font that stands for each font name a text
// asks for, opened through FreeType the first time one is needed and closed with the
// movie.
#pragma once

#include "base/RefCountBase.h"
#include "swf/DeviceFont.h"

#include <cstdint>
#include <map>
#include <string_view>

struct FT_LibraryRec_;

namespace UT {

class FlashScript;

enum class DeviceFamily : int32_t { kSans = 0, kSerif = 1, kMono = 2 };

// The bundled family for a font name: `_typewriter`, Courier and other fixed-width faces
// are mono; then `_sans` and other sans faces are sans; `_serif`, Times, Georgia and other
// serif faces are serif; every other name is sans.  Case and trailing NULs do not matter.
DeviceFamily DeviceFamilyFor(std::string_view name);

// The name an edit text without a font of its own is drawn in.
constexpr std::string_view kDefaultDeviceFont = "Times New Roman";

class DeviceFonts {
public:
    explicit DeviceFonts(FlashScript* owner) : owner(owner) {}
    ~DeviceFonts();
    DeviceFonts(const DeviceFonts&) = delete;
    DeviceFonts& operator=(const DeviceFonts&) = delete;

    // The font that draws `name` in that style; null only when FreeType cannot read the
    // bundled font.
    FFont* Find(std::string_view name, bool bold, bool italic);

private:
    FT_FaceRec_* Face(DeviceFamily family, bool bold);

    FlashScript* owner;
    FT_LibraryRec_* library = nullptr;
    bool started = false;
    std::map<int32_t, FT_FaceRec_*> faces;    // by family * 2 + bold
    std::map<int32_t, Held<DeviceFont>> made; // by (family * 2 + bold) * 2 + italic
};

} // namespace UT
