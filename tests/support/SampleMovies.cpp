#include "SampleMovies.h"

#include "BitmapWriter.h"
#include "ButtonWriter.h"
#include "MorphWriter.h"
#include "PlaceTags.h"
#include "ShapeWriter.h"
#include "SpriteWriter.h"
#include "SwfWriter.h"
#include "TextWriter.h"

#include <zlib.h>

#include <algorithm>

namespace swftest {

std::vector<uint8_t> TagSample() {
    SwfWriter movie(64, 48, 24.0);
    movie.SetBackgroundColor(10, 20, 30)
        .JPEGTables({0xFF, 0xD8, 0xFF, 0xD9})
        .NameCharacter(1, "first")
        .Tag(12, std::vector<uint8_t>(80, 0x55)) // long form
        .LongTag(2, {1, 0, 0x7F})
        .ShowFrame()
        .FreeCharacter(1)
        .Tag(kPlaceObject2, {0x06, 1, 0, 1, 0, 0x00})
        .ShowFrame()
        .End();
    return movie.Finish();
}

namespace {

std::vector<uint8_t> Place(uint16_t depth, uint16_t character, uint16_t clipDepth = 0) {
    Placement p = PlaceCharacter(depth, character, depth * 3, depth);
    return p.clipDepth = clipDepth ? std::optional<uint16_t>(clipDepth) : std::nullopt,
           PlaceObject2(p);
}

// A scale by 20 with an optional skew: a 1-twip pattern spread over a pixel.
MatrixRecord Fit(int32_t rotate = 0) {
    return {true, 20 << 16, 20 << 16, rotate != 0, rotate, 0, 0, 0};
}

// A 64 x 48 movie at 12 frames a second: the tags (kShowFrame ones counted), then End.
std::vector<uint8_t> Movie(const std::vector<std::pair<uint16_t, std::vector<uint8_t>>>& tags) {
    SwfWriter movie(64, 48, 12);
    for (const auto& [code, body] : tags)
        code == kShowFrame ? movie.ShowFrame() : movie.Tag(code, body);
    movie.End();
    return movie.Finish();
}

const RawImage kPhoto{8, 8, 3, std::vector<uint8_t>(8 * 8 * 3, 99)};

} // namespace

std::vector<uint8_t> TextSpriteSample() {
    ShapeWriter glyph;
    glyph.MoveTo(0, -400).LineBy(400, 0).CurveBy(100, 200, -100, 200).LineBy(-400, 0);
    const Font2Fields wide{"",
                           true,
                           true,
                           {glyph.Records(), glyph.Records()},
                           {'a', 0x00E9},
                           FontLayout{800, 200, 0, {600, -200}, true, {{'a', 0xE9, -50}}}};
    StaticTextWriter text(true);
    text.Style({.font = 1, .height = 700, .color = Rgba{255, 0, 0, 200}, .x = 40, .y = 400})
        .Glyphs({{0, 300}, {1, -100}, {0, 0}})
        .Style({.font = 2, .height = 300, .color = {}, .x = {}, .y = 800})
        .Glyphs({{1, 200}});
    EditTextFields edit{{0, 1000, 0, 600}, 1, 400};
    edit.layout = EditLayout{2, 20, 20, 40, 0}, edit.text = "a\xE9z";
    TagStream inner; // the sprite places itself at depth 3
    inner.Tag(kPlaceObject2, Place(1, 3)).ShowFrame().Tag(kPlaceObject2, Place(2, 4));
    inner.Tag(kPlaceObject2, Place(3, 10)).ShowFrame().End();
    const CxformRecord faded{.hasMult = true, .alphaMult = 100};
    const ButtonRecordFields up{.character = 10, .cxform = faded},
        self{.character = 11, .depth = 2, .cxform = faded};
    return Movie({{kDefineFont2, DefineFont2(1, wide)},
                  {kDefineFont, DefineFont(2, {glyph.Records()})},
                  {kDefineFontInfo, DefineFontInfo(2, "x", false, {'a'})},
                  {kDefineText2, text.TagBody(3, {0, 1200, 0, 800})},
                  {kDefineEditText, DefineEditText(4, edit)},
                  {kDefineSprite, DefineSprite(10, inner)},
                  {kDefineButton2, DefineButton2(11, {up, self})},
                  {kDefineButtonCxform, DefineButtonCxform(11, CxformRecord{})},
                  {kPlaceObject2, Place(1, 3, 4)},
                  {kPlaceObject2, Place(2, 10)},
                  {kPlaceObject2, Place(3, 11)},
                  {kShowFrame, {}},
                  {kPlaceObject2, Place(5, 4)},
                  {kShowFrame, {}},
                  {kShowFrame, {}}});
}

std::vector<uint8_t> HtmlTextSample(const std::string& markup, bool device) {
    ShapeWriter glyph;
    glyph.MoveTo(0, -400).LineBy(400, 0).CurveBy(100, 200, -100, 200).LineBy(-400, 0);
    const FontLayout layout{800, 200, 40, {600, 300, -200}, true, {{'a', ' ', -50}}};
    const Font2Fields plain{
        "", false, true, {glyph.Records(), {}, glyph.Records()}, {'a', ' ', 0x00E9}, layout};
    Font2Fields bold{"Serif", false, false, {glyph.Records()}, {'a'}, layout};
    std::vector<uint8_t> boldTag = DefineFont2(2, bold);
    boldTag[2] |= 0x01; // the flags byte after the id: bold
    EditTextFields edit{{0, 1200, 0, 900}, 1, 300, Rgba{0, 0, 255, 255}};
    edit.layout = EditLayout{2, 20, 40, 60, 100};
    edit.text = markup;
    edit.flags = kEditHtml | kEditMultiline | kEditWordWrap | kEditBorder;
    edit.useOutlines = !device;
    return Movie({{kDefineFont2, DefineFont2(1, plain)},
                  {kDefineFont2, boldTag},
                  {kDefineEditText, DefineEditText(4, edit)},
                  {kPlaceObject2, Place(1, 4)},
                  {kShowFrame, {}}});
}

std::vector<uint8_t> EveryFill() {
    const SplitJpeg split = EncodeAbbreviatedJpeg(kPhoto);
    const std::vector<uint8_t> argb(8 * 8 * 4, 0x80);
    const MatrixRecord fit = Fit(3000);
    ShapeWriter shape(3);
    shape
        .FillStyles({FillStyleRecord::Solid({1, 2, 3, 200}),
                     FillStyleRecord::Linear(fit, {{0, {255, 0, 0, 255}}, {255, {0, 0, 255, 9}}}),
                     FillStyleRecord::Radial(fit, {{30, {0, 255, 0, 255}}}),
                     FillStyleRecord::Bitmap(10, fit), FillStyleRecord::Bitmap(11, fit),
                     FillStyleRecord::Bitmap(12, fit)})
        .LineStyles({{30, {9, 9, 9, 255}}})
        .Change(StyleChange().Fill0(1).Fill1(2).Line(1))
        .Rectangle(0, 0, 300, 300)
        .Change(StyleChange().Fill0(3).Fill1(4))
        .CurveTo(500, 100, 600, 600)
        .LineTo(0, 0)
        .Change(StyleChange().NewStyles(
            {{FillStyleRecord::Bitmap(13, fit), FillStyleRecord::Solid({5, 5, 5, 5})}, {{0, {}}}}))
        .Change(StyleChange().Fill0(1).Line(1).Move(100, 100))
        .LineTo(600, 120)
        .LineTo(300, 500)
        .LineTo(100, 100);
    return Movie(
        {{kJPEGTables, split.tables},
         {kDefineBits, DefineBitsBody(10, split.image)},
         {kDefineBitsJPEG3, DefineBitsJPEG3Body(11, EncodeJpeg(kPhoto), Deflate({1, 2, 3}))},
         {kDefineBitsLossless2, DefineBitsLosslessBody(12, 5, 8, 8, argb)},
         {kDefineBitsLossless, DefineBitsLosslessBody(13, 3, 8, 8, argb, 20)},
         {kDefineShape3, shape.TagBody(1, {0, 600, 0, 600})},
         {kPlaceObject2, PlaceObject2(PlaceCharacter(1, 1))},
         {kShowFrame, {}}});
}

std::vector<uint8_t> EveryFlash8Tag(int16_t focalPoint, uint16_t miterLimit) {
    const MatrixRecord fit = Fit();
    std::vector<GradientStop> stops;
    for (uint8_t i = 0; i < 15; ++i) stops.push_back({uint8_t(i * 17), {i, 255, 0, 200}});
    FillStyleRecord reflected = FillStyleRecord::Linear(fit, stops);
    reflected.spread = FillStyleRecord::kReflect,
    reflected.interpolation = FillStyleRecord::kLinearRGB;
    FillStyleRecord focal = FillStyleRecord::Focal(fit, stops, focalPoint);
    focal.spread = FillStyleRecord::kRepeat;
    using L = LineStyleRecord;
    const L mitred{90, {9, 9, 9, 255}, L::kSquareCap, L::kNoCap, L::kMiterJoin, miterLimit};
    const L painted{60, {}, L::kNoCap, L::kRoundCap, L::kBevelJoin, 0, false, focal};
    const L missing{
        60, {}, L::kNoCap, L::kRoundCap, L::kBevelJoin, 0, true, FillStyleRecord::Bitmap(77, fit)};
    ShapeWriter shape(4);
    shape.FillStyles({focal, reflected, FillStyleRecord::Bitmap(11, fit)})
        .LineStyles({mitred, painted, missing})
        .Change(StyleChange().Fill0(1).Fill1(2).Line(1))
        .Rectangle(0, 0, 300, 300)
        .Change(StyleChange().Fill0(3).Line(2))
        .LineTo(500, 20)
        .LineTo(40, 300)
        .LineTo(0, 0)
        .Change(StyleChange().Line(3).Move(100, 100))
        .LineTo(600, 120)
        .LineTo(100, 100);
    ShapeWriter square;
    square.Rectangle(0, -8000, 8000, 0);
    const Font2Fields font{.glyphs = {square.Records()},
                           .layout = FontLayout{16000, 0, 0, {12000}}};
    StaticTextWriter text(true);
    text.Style({.font = 5, .height = 200, .color = Rgba{1, 2, 3, 255}, .x = {}, .y = {}})
        .Glyphs({{0, 100}, {0, 0}});
    BitWriter oversized; // 255 filters said, a convolution of 255 x 255 begun
    oversized.UI8(255).UI8(5).UI8(255).UI8(255).UI32(0);
    const Placement3 shadowed{
        .placement = PlaceCharacter(1, 1), .filters = BlurAndShadowFilters(), .blendMode = 14};
    const Placement3 hostile{PlaceCharacter(3, 6, 1, 1), "Cls", oversized.Data(), 2, {}, 0};
    return Movie(
        {{kJPEGTables, {}},
         {kDefineBits, DefineBitsBody(10, EncodeJpeg(kPhoto))},
         {kDefineBitsJPEG4, DefineBitsJPEG4Body(11, EncodeJpeg(kPhoto), Deflate({1, 2, 3}))},
         {kDefineShape4, shape.TagBody(1, {0, 600, 0, 600})},
         {kDefineFont3, DefineFont2(5, font)},
         {text.TagCode(), text.TagBody(6, {0, 600, -400, 0})},
         {kPlaceObject3, PlaceObject3(shadowed)},
         {kPlaceObject3, PlaceObject3(hostile)},
         {kShowFrame, {}}});
}

std::vector<uint8_t> EveryMorph(int16_t focalPoint) {
    std::vector<GradientStop> stops, reversed;
    for (uint8_t i = 0; i < 15; ++i) {
        stops.push_back({uint8_t(i * 17), {i, 255, 0, 200}});
        reversed.push_back({uint8_t(255 - i * 17), {255, i, 9, 255}});
    }
    using L = LineStyleRecord;
    // Edges drawn at an offset of `d`, with `extra` more at the end (or one fewer).
    const auto shape = [&](int32_t d, bool endStyles, int extra) {
        ShapeWriter s(4);
        const L line{40, {1, 2, 3, 255}, L::kNoCap, L::kSquareCap, L::kMiterJoin, 0x0100};
        s.FillStyles(
             {FillStyleRecord::Focal(endStyles ? Fit(3000) : Fit(), endStyles ? reversed : stops,
                                     endStyles ? int16_t(-focalPoint) : focalPoint),
              FillStyleRecord::Bitmap(10, Fit())})
            .LineStyles({line})
            .Change(StyleChange().Fill1(1).Line(1))
            .Rectangle(d, d, 600 + d, 400)
            .Change(StyleChange().Fill0(2));
        if (extra >= 0) s.CurveTo(300, 900 - d, d, 400);
        for (int i = 0; i < extra; ++i) s.LineBy(50, 50 - d);
        return s;
    };
    const ShapeWriter start = shape(0, false, 0), end = shape(200, true, 0);
    const ShapeWriter longer = shape(100, true, 3), shorter = shape(-50, true, -1);
    std::vector<uint8_t> cut =
        MorphWriter(start, end, 2).TagBody(6, {0, 600, 0, 600}, {0, 800, 0, 900});
    cut.resize(60); // among the gradient records
    const RectRecord bounds{0, 900, 0, 900};
    std::vector<std::pair<uint16_t, std::vector<uint8_t>>> tags = {
        {kDefineBitsLossless2, DefineBitsLosslessBody(10, 5, 2, 2, std::vector<uint8_t>(16, 0x90))},
        {kDefineMorphShape2, MorphWriter(start, end, 2).TagBody(1, bounds, bounds)},
        {kDefineMorphShape2, MorphWriter(start, longer, 2).TagBody(2, bounds, bounds)},
        {kDefineMorphShape2, MorphWriter(longer, shorter, 2).TagBody(3, bounds, bounds)},
        {kDefineMorphShape, MorphWriter(start, end).EndStyleChanges().TagBody(4, bounds, bounds)},
        {kDefineMorphShape2,
         MorphWriter(start, end, 2).EndEdgesOffset(0xFFFFFFF0).TagBody(5, bounds, bounds)},
        {kDefineMorphShape2, cut}};
    const uint16_t ratios[] = {65535, 30000, 1, 32768, 40000, 0};
    for (uint16_t id = 1; id <= 6; ++id) {
        Placement p = PlaceCharacter(id, id, id * 3, id);
        p.ratio = ratios[id - 1];
        tags.push_back({kPlaceObject2, PlaceObject2(p)});
    }
    tags.push_back({kShowFrame, {}});
    return Movie(tags);
}

} // namespace swftest

namespace swftest {

std::vector<uint8_t> EffectsSample() {
    ShapeWriter small(3), huge(3);
    small.FillStyles({FillStyleRecord::Solid({200, 40, 90, 180})})
        .Change(StyleChange().Fill0(1))
        .Rectangle(100, 100, 700, 500);
    huge.FillStyles({FillStyleRecord::Solid({10, 200, 90, 255})})
        .Change(StyleChange().Fill0(1))
        .Rectangle(-4000, -4000, 6000, 6000);
    // Blur 0, 255 and fractional; passes 0 and 31; every kind; a list that claims 255.
    BitWriter blurs;
    blurs.UI8(4);
    blurs.UI8(1).UI32(0).UI32(255 << 16).UI8(31 << 3);
    blurs.UI8(1).UI32(0x28000).UI32(0x18000).UI8(0);
    blurs.UI8(2).RGBA(255, 0, 0, 255).UI32(6 << 16).UI32(6 << 16).UI16(0x300).UI8(0xE1);
    blurs.UI8(7).UI8(2).RGBA(255, 255, 255, 255).RGBA(0, 0, 0, 255).UI8(0).UI8(255);
    blurs.UI32(3 << 16).UI32(3 << 16).UI32(0x10000).UI32(4 << 16).UI16(0x100).UI8(0x11);
    BitWriter many; // 255 said, 20 held
    many.UI8(255);
    for (int i = 0; i < 20; ++i) many.UI8(1).UI32(uint32_t(i) << 15).UI32(0x10000).UI8(8);
    BitWriter tooLarge; // three blurs of 255 in 15 passes reach past 8,191 pixels
    tooLarge.UI8(3);
    for (int i = 0; i < 3; ++i) tooLarge.UI8(1).UI32(255 << 16).UI32(255 << 16).UI8(15 << 3);
    BitWriter bevels;
    bevels.UI8(4);
    bevels.UI8(3).RGBA(255, 255, 255, 255).RGBA(0, 0, 0, 255).UI32(4 << 16).UI32(4 << 16);
    bevels.UI32(0xC910).UI32(3 << 16).UI16(0x100).UI8(0x31);
    bevels.UI8(5).UI8(3).UI8(3).UI32(0x41100000).UI32(0x41200000);
    for (int i = 0; i < 9; ++i) bevels.UI32(0x3F800000);
    bevels.RGBA(1, 2, 3, 4).UI8(0);
    bevels.UI8(0).RGBA(0, 0, 0, 200).UI32(4 << 16).UI32(4 << 16).UI32(0xC910).UI32(5 << 16);
    bevels.UI16(0x100).UI8(0xA1);
    bevels.UI8(6);
    for (int i = 0; i < 20; ++i) bevels.UI32(i % 6 == 0 ? 0xBF800000 : i % 5 == 4 ? 0x437F0000 : 0);
    auto place = [](uint16_t depth, uint16_t id, std::optional<std::vector<uint8_t>> filters,
                    std::optional<uint8_t> mode) {
        return PlaceObject3(
            {.placement = PlaceCharacter(depth, id), .filters = filters, .blendMode = mode});
    };
    // Sprites 10 to 49 each hold the one before with a blend mode of their own; sprite 9
    // holds the small shape in a glow.  Sprite 8 is empty and glows.
    std::vector<std::pair<uint16_t, std::vector<uint8_t>>> tags = {
        {ShapeWriter::TagCode(3), small.TagBody(1, {100, 700, 100, 500})},
        {ShapeWriter::TagCode(3), huge.TagBody(2, {-4000, 6000, -4000, 6000})},
        {kDefineSprite, DefineSprite(8, TagStream().ShowFrame())},
        {kDefineSprite,
         DefineSprite(9,
                      TagStream().Tag(kPlaceObject3, place(1, 1, bevels.Data(), 2)).ShowFrame())}};
    for (uint16_t id = 10; id < 50; ++id)
        tags.push_back(
            {kDefineSprite, DefineSprite(id, TagStream()
                                                 .Tag(kPlaceObject3, place(1, uint16_t(id - 1), {},
                                                                           uint8_t(3 + id % 13)))
                                                 .ShowFrame())});
    tags.insert(
        tags.end(),
        {{kPlaceObject3, place(1, 2, tooLarge.Data(), 3)},
         {kPlaceObject3, place(2, 1, blurs.Data(), 15)},
         {kPlaceObject3, place(3, 8, blurs.Data(), 255)},
         {kPlaceObject3, place(4, 49, many.Data(), 11)},
         {kPlaceObject3, place(5, 1, std::vector<uint8_t>{3, 1, 0, 0}, 12)},
         {kDefineButton2,
          DefineButton2(60,
                        {{.character = 1, .depth = 1, .filters = bevels.Data(), .blendMode = 14}})},
         {kPlaceObject2, PlaceObject2(PlaceCharacter(6, 60))},
         {kShowFrame, {}}});
    return Movie(tags);
}

// An opaque red bar along the top that moves right, and a half-transparent blue block
// at the bottom right: the picture is neither symmetric nor opaque.
std::vector<uint8_t> MovingBarMovie(int frames) {
    SwfWriter movie(40, 30, 12);
    ShapeWriter bar(3), block(3);
    bar.FillStyles({FillStyleRecord::Solid({255, 0, 0, 255})})
        .Change(StyleChange().Fill1(1))
        .Rectangle(0, 0, 200, 100);
    bar.AddTo(movie, 1, {0, 200, 0, 100});
    block.FillStyles({FillStyleRecord::Solid({0, 0, 255, 128})})
        .Change(StyleChange().Fill1(1))
        .Rectangle(500, 400, 800, 600);
    block.AddTo(movie, 2, {500, 800, 400, 600});
    for (int frame = 0; frame < frames; ++frame) {
        Placement place = PlaceCharacter(1, 1);
        if (frame > 0) place.character.reset();
        place.move = frame > 0;
        place.matrix = TranslatePixels(5 * frame, 0);
        movie.Tag(kPlaceObject2, PlaceObject2(place));
        if (frame == 0) movie.Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(2, 2)));
        movie.ShowFrame();
    }
    movie.End();
    return movie.Finish();
}

std::vector<uint8_t> Compressed(const std::vector<uint8_t>& plain) {
    uLongf size = compressBound(uLong(plain.size()));
    std::vector<uint8_t> movie(8 + size);
    compress2(movie.data() + 8, &size, plain.data() + 8, uLong(plain.size() - 8), 9);
    movie.resize(8 + size);
    std::copy_n(plain.data(), 8, movie.data());
    movie[0] = 'C';
    return movie;
}

} // namespace swftest
