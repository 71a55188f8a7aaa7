# Writes OUT, a source file that holds the bytes of every font file in FONTS ('|'-separated
# paths) as arrays, and BundledFontFiles() listing them in that order.
#   cmake "-DFONTS=a.ttf|b.ttf" -DOUT=BundledFontData.cpp -P EmbedFonts.cmake
string(REPLACE "|" ";" FONTS "${FONTS}")
set(arrays "")
set(entries "")
set(index 0)
foreach(font ${FONTS})
    get_filename_component(name ${font} NAME_WE)
    file(READ ${font} hex HEX)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(APPEND arrays "const unsigned char font${index}[] = {${bytes}};\n")
    string(APPEND entries "        {\"${name}\", font${index}, sizeof font${index}},\n")
    math(EXPR index "${index} + 1")
endforeach()
file(WRITE ${OUT}.new "// Written by cmake/EmbedFonts.cmake from the files in fonts/.
#include \"swf/BundledFonts.h\"

namespace UT {
namespace {
${arrays}} // namespace

std::span<const BundledFontFile> BundledFontFiles() {
    static const BundledFontFile files[] = {
${entries}    };
    return files;
}

} // namespace UT
")
file(COPY_FILE ${OUT}.new ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.new)
