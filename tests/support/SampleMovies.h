// Movies of 64 x 48 pixels that hold many kinds of definition at once, with hostile values
// where a reader could go wrong: inputs for the robustness driver and seeds for fuzzing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace swftest {

// Tags the model skips or keeps aside, and a placement of a character freed first.
std::vector<uint8_t> TagSample();
// Fonts with wide and narrow tables, static and edit text, a sprite that places itself, a
// button that holds itself, and a sprite as a clipping layer.
std::vector<uint8_t> TextSpriteSample();
// Two fonts, one named and bold, and a bordered, word-wrapped multiline HTML edit text of
// the given markup over them; in the device fonts of their names when `device`.
std::vector<uint8_t> HtmlTextSample(const std::string& markup, bool device = false);
// Every kind of fill: solid, both gradients and each bitmap tag, with new styles midway.
std::vector<uint8_t> EveryFill();
// Every tag of Flash 8 and later that draws, with the given focal point and miter limit:
// 15-stop focal and reflected gradients, fill-styled and mitred lines, a DefineFont3 text,
// a DefineBitsJPEG4 fill, an empty JPEGTables, and filter lists claiming more than they
// hold.
std::vector<uint8_t> EveryFlash8Tag(int16_t focalPoint, uint16_t miterLimit);
// Morph shapes of both versions at ratios 0 to 65535: 15-stop focal gradients whose focal
// point goes from `focalPoint` to its negation, bitmap fills and strokes, more end edges
// than start edges and fewer, style changes among the end edges, an end-edge offset past
// the tag, and a tag that stops among its gradient records.
std::vector<uint8_t> EveryMorph(int16_t focalPoint);
// Filters and blend modes at their limits: blurs of 0, 255 and fractional widths, passes 0
// and 31, 255 filters, a layer larger than the picture and one too large to filter, an
// empty sprite that glows, blend modes of 15 and above, sprites nested 40 deep each
// blended, a cut filter list and a button record with filters.
std::vector<uint8_t> EffectsSample();

// 40 x 30 pixels at 12 frames a second: an opaque red bar along the top that moves right
// 5 pixels a frame, and a half-transparent blue block at the bottom right, so that the
// picture is neither symmetric nor opaque.
std::vector<uint8_t> MovingBarMovie(int frames);

// The compressed (CWS) form of an uncompressed movie.
std::vector<uint8_t> Compressed(const std::vector<uint8_t>& plain);

} // namespace swftest
