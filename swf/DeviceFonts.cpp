#include "swf/DeviceFonts.h"

#include "swf/BundledFonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <array>
#include <string>

namespace UT {

namespace {

// Words in a font name that mark a serif or a fixed-width face; every other name is drawn
// sans-serif.
constexpr std::array kSerifWords = {"_serif",   "times",   "roman",    "georgia",
                                    "garamond", "serif",   "palatino", "century",
                                    "bodoni",   "cambria", "minion",   "baskerville"};
constexpr std::array kMonoWords = {"_typewriter", "courier",    "mono", "console",
                                   "consolas",    "typewriter", "fixed"};

// The bundled files by family * 2 + bold.
constexpr std::array kFiles = {"LiberationSans-Regular",  "LiberationSans-Bold",
                               "LiberationSerif-Regular", "LiberationSerif-Bold",
                               "LiberationMono-Regular",  "LiberationMono-Bold"};

std::string Lowered(std::string_view name) {
    while (!name.empty() && name.back() == '\0') name.remove_suffix(1);
    std::string lowered(name);
    for (char& c : lowered)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return lowered;
}

template <size_t N>
bool Contains(const std::string& name, const std::array<const char*, N>& words) {
    for (const char* word : words)
        if (name.find(word) != std::string::npos) return true;
    return false;
}

} // namespace

DeviceFamily DeviceFamilyFor(std::string_view name) {
    const std::string lowered = Lowered(name);
    if (Contains(lowered, kMonoWords)) return DeviceFamily::kMono;
    if (lowered.find("sans") != std::string::npos) return DeviceFamily::kSans;
    if (Contains(lowered, kSerifWords)) return DeviceFamily::kSerif;
    return DeviceFamily::kSans;
}

DeviceFonts::~DeviceFonts() {
    made.clear(); // the fonts use the faces
    for (const auto& [key, face] : faces) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
}

FT_FaceRec_* DeviceFonts::Face(DeviceFamily family, bool bold) {
    const int32_t key = int32_t(family) * 2 + (bold ? 1 : 0);
    const auto found = faces.find(key);
    if (found != faces.end()) return found->second;
    if (!started) {
        started = true;
        if (FT_Init_FreeType(&library)) library = nullptr;
    }
    FT_Face face = nullptr;
    for (const BundledFontFile& file : BundledFontFiles()) {
        if (!library || std::string_view(file.name) != kFiles[size_t(key)]) continue;
        if (FT_New_Memory_Face(library, file.data, FT_Long(file.size), 0, &face)) face = nullptr;
    }
    faces[key] = face;
    return face;
}

FFont* DeviceFonts::Find(std::string_view name, bool bold, bool italic) {
    const DeviceFamily family = DeviceFamilyFor(name);
    const int32_t key = (int32_t(family) * 2 + (bold ? 1 : 0)) * 2 + (italic ? 1 : 0);
    const auto found = made.find(key);
    if (found != made.end()) return found->second.Get();
    FT_FaceRec_* face = Face(family, bold);
    if (!face) return nullptr;
    // No italic faces are bundled: italic leans the upright one.
    Held<DeviceFont> font(
        new DeviceFont(owner, face, kFiles[size_t(key / 2)], bold, italic, italic));
    made[key] = font;
    return font.Get();
}

} // namespace UT
