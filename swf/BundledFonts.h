// The font files built into the plug-in (fonts/ in the source tree): the bytes of each,
// compiled in by the build.
#pragma once

#include <cstddef>
#include <span>

namespace UT {

struct BundledFontFile {
    const char* name; // the file's name without its extension, "LiberationSans-Regular"
    const unsigned char* data;
    size_t size;
};

std::span<const BundledFontFile> BundledFontFiles();

} // namespace UT
