#include "swf/DeviceFonts.h"

#include "swf/BundledFonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>

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

// Whether the word, in lower case, stands in the name in any case.
bool Has(std::string_view name, std::string_view word) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return std::search(name.begin(), name.end(), word.begin(), word.end(),
                       [&](char a, char b) { return lower(a) == b; }) != name.end();
}

template <size_t N> bool HasAny(std::string_view name, const std::array<const char*, N>& words) {
    return std::any_of(words.begin(), words.end(), [&](const char* w) { return Has(name, w); });
}

} // namespace

DeviceFamily DeviceFamilyFor(std::string_view name) {
    if (HasAny(name, kMonoWords)) return DeviceFamily::kMono;
    if (Has(name, "sans")) return DeviceFamily::kSans;
    if (HasAny(name, kSerifWords)) return DeviceFamily::kSerif;
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
