#include "examples/DemoMovie.h"

#include "support/BitWriter.h"
#include "support/MorphWriter.h"
#include "support/PlaceTags.h"
#include "support/ShapeWriter.h"
#include "support/SwfWriter.h"
#include "support/TextWriter.h"

#include <zlib.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <stdexcept>

namespace demo {

using namespace swftest;

namespace {

constexpr int kTwips = 20;

// Character ids, in the order the movie defines them.
enum Id : uint16_t {
    kBackdrop = 1,
    kStripes,
    kMaskDisc,
    kSun,
    kStar,
    kTile,
    kTileBitmap,
    kTiledSquare,
    kSquare,
    kSpinner,
    kButton,
    kTween,
    kCaptionFont,
    kCaption,
};

// Depths, back to front.  The mask disc clips the stripes above it.
enum Depth : uint16_t {
    kBackdropDepth = 1,
    kMaskDepth,
    kStripesDepth,
    kSunDepth,
    kStarDepth,
    kFadeDepth,
    kTiledDepth,
    kSpinnerDepth,
    kButtonDepth,
    kTweenDepth,
    kCaptionDepth,
};

int32_t Fixed(double value) {
    return int32_t(std::lround(value * 65536.0));
}

// x' = a x + c y + tx, y' = b x + d y + ty; translation in pixels.
MatrixRecord Affine(double a, double b, double c, double d, double tx, double ty) {
    MatrixRecord m;
    m.hasScale = true;
    m.scaleX = Fixed(a);
    m.scaleY = Fixed(d);
    m.hasRotate = b != 0 || c != 0;
    m.rotateSkew0 = Fixed(b);
    m.rotateSkew1 = Fixed(c);
    m.translateX = int32_t(std::lround(tx * kTwips));
    m.translateY = int32_t(std::lround(ty * kTwips));
    return m;
}

MatrixRecord Rotation(double radians, double scale, double x, double y) {
    const double c = std::cos(radians) * scale, s = std::sin(radians) * scale;
    return Affine(c, s, -s, c, x, y);
}

// The gradient square (+-16384 twips) mapped onto a box `size` pixels wide.
MatrixRecord GradientBox(double size, double radians, double cx, double cy) {
    return Rotation(radians, size * kTwips / 32768.0, cx, cy);
}

RectRecord Bounds(double x0, double y0, double x1, double y1) {
    return {int32_t(x0 * kTwips), int32_t(x1 * kTwips), int32_t(y0 * kTwips), int32_t(y1 * kTwips)};
}

// A closed circle of eight quadratic curves, centre and radius in pixels.
void Circle(ShapeWriter& shape, double cx, double cy, double radius) {
    const double control = radius / std::cos(std::numbers::pi / 8);
    auto at = [&](double r, double angle, bool isX) {
        return int32_t(
            std::lround(((isX ? cx + r * std::cos(angle) : cy + r * std::sin(angle))) * kTwips));
    };
    shape.MoveTo(at(radius, 0, true), at(radius, 0, false));
    for (int i = 0; i < 8; ++i) {
        const double mid = (i + 0.5) * std::numbers::pi / 4, end = (i + 1) * std::numbers::pi / 4;
        shape.CurveTo(at(control, mid, true), at(control, mid, false), at(radius, end, true),
                      at(radius, end, false));
    }
}

void Box(ShapeWriter& shape, double x0, double y0, double x1, double y1) {
    shape.Rectangle(int32_t(x0 * kTwips), int32_t(y0 * kTwips), int32_t(x1 * kTwips),
                    int32_t(y1 * kTwips));
}

// ---- Definitions ---------------------------------------------------------------------

// The sky: a vertical linear gradient over the whole stage.
void DefineBackdrop(TagStream& tags) {
    ShapeWriter shape(3);
    shape.FillStyles({FillStyleRecord::Linear(
        GradientBox(kHeight, std::numbers::pi / 2, kWidth / 2.0, kHeight / 2.0),
        {{0, {32, 64, 128, 255}}, {160, {120, 170, 220, 255}}, {255, {250, 220, 180, 255}}})});
    shape.Change(StyleChange().Fill1(1));
    Box(shape, 0, 0, kWidth, kHeight);
    shape.AddTo(tags, kBackdrop, Bounds(0, 0, kWidth, kHeight));
}

// Coloured bars, seen only through the moving disc of the clipping layer.
void DefineStripes(TagStream& tags) {
    ShapeWriter shape(3);
    const std::vector<Rgba> colours = {
        {230, 60, 60, 255}, {250, 200, 40, 255}, {60, 180, 90, 255}, {60, 120, 230, 255}};
    std::vector<FillStyleRecord> fills;
    for (const Rgba& colour : colours) fills.push_back(FillStyleRecord::Solid(colour));
    shape.FillStyles(fills);
    for (int bar = 0; bar < 22; ++bar) {
        shape.Change(StyleChange().Fill1(uint32_t(bar % 4 + 1)));
        Box(shape, bar * 25.0, 0, bar * 25.0 + 25, 160);
    }
    shape.AddTo(tags, kStripes, Bounds(0, 0, kWidth, 160));
}

void DefineMaskDisc(TagStream& tags) {
    ShapeWriter shape(3);
    shape.FillStyles({FillStyleRecord::Solid({255, 255, 255, 255})});
    shape.Change(StyleChange().Fill1(1));
    Circle(shape, 0, 0, 70);
    shape.AddTo(tags, kMaskDisc, Bounds(-70, -70, 70, 70));
}

// A radial gradient that fades to transparent at its rim.
void DefineSun(TagStream& tags) {
    ShapeWriter shape(3);
    shape.FillStyles({FillStyleRecord::Radial(
        GradientBox(100, 0, 0, 0),
        {{0, {255, 255, 210, 255}}, {150, {255, 190, 40, 255}}, {255, {255, 120, 0, 0}}})});
    shape.Change(StyleChange().Fill1(1));
    Circle(shape, 0, 0, 50);
    shape.AddTo(tags, kSun, Bounds(-50, -50, 50, 50));
}

// A five-pointed star: a solid fill with a thick stroke.
void DefineStar(TagStream& tags) {
    ShapeWriter shape(3);
    shape.FillStyles({FillStyleRecord::Solid({250, 210, 60, 255})});
    shape.LineStyles({{6 * kTwips, {120, 40, 20, 255}}});
    for (int point = 0; point <= 10; ++point) {
        const double angle = -std::numbers::pi / 2 + point * std::numbers::pi / 5;
        const double radius = point % 2 == 0 ? 45 : 18;
        const int32_t x = int32_t(std::lround(radius * std::cos(angle) * kTwips));
        const int32_t y = int32_t(std::lround(radius * std::sin(angle) * kTwips));
        if (point == 0)
            shape.Change(StyleChange().Move(x, y).Fill1(1).Line(1));
        else
            shape.LineTo(x, y);
    }
    shape.AddTo(tags, kStar, Bounds(-50, -50, 50, 50));
}

// A 16 x 16 lossless bitmap with alpha (format 5: premultiplied ARGB, zlib-compressed):
// opaque light squares and half-transparent orange ones.
void DefineTileBitmap(TagStream& tags) {
    constexpr int kSize = 16;
    std::vector<uint8_t> argb;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const bool light = (x / 4 + y / 4) % 2 == 0;
            const std::vector<uint8_t> pixel = light ? std::vector<uint8_t>{255, 240, 240, 255}
                                                     : std::vector<uint8_t>{160, 160, 60, 20};
            argb.insert(argb.end(), pixel.begin(), pixel.end());
        }
    uLongf packedSize = compressBound(uLong(argb.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, argb.data(), uLong(argb.size()), 9) != Z_OK)
        throw std::runtime_error("zlib failed");
    packed.resize(packedSize);
    BitWriter body;
    body.UI16(kTileBitmap).UI8(5).UI16(kSize).UI16(kSize).Bytes(packed);
    tags.Tag(36, body); // DefineBitsLossless2
}

// A square filled with the bitmap, repeated.
void DefineTiledSquare(TagStream& tags) {
    ShapeWriter shape(3);
    // Bitmap fills map one bitmap pixel to one twip: scale by 20 for 1 pixel each, x2.
    shape.FillStyles({FillStyleRecord::Bitmap(kTileBitmap, Affine(40, 0, 0, 40, 0, 0),
                                              FillStyleRecord::kRepeatingBitmap)});
    shape.LineStyles({{2 * kTwips, {40, 40, 40, 255}}});
    shape.Change(StyleChange().Fill1(1).Line(1));
    Box(shape, -48, -48, 48, 48);
    shape.AddTo(tags, kTiledSquare, Bounds(-49, -49, 49, 49));
}

void DefineSquare(TagStream& tags) {
    ShapeWriter shape(3);
    shape.FillStyles({FillStyleRecord::Solid({70, 90, 200, 255})});
    shape.LineStyles({{3 * kTwips, {255, 255, 255, 255}}});
    shape.Change(StyleChange().Fill1(1).Line(1));
    Box(shape, -25, -25, 25, 25);
    shape.AddTo(tags, kSquare, Bounds(-27, -27, 27, 27));
}

// A sprite with its own 12-frame timeline: the square turning a quarter.
void DefineSpinner(TagStream& tags) {
    constexpr uint16_t kSpinnerFrames = 12;
    TagStream timeline;
    for (int frame = 0; frame < kSpinnerFrames; ++frame) {
        Placement place;
        place.depth = 1;
        if (frame == 0) place.character = kSquare;
        place.move = frame > 0;
        place.matrix = Rotation(frame * std::numbers::pi / 2 / kSpinnerFrames, 1, 0, 0);
        timeline.Tag(kPlaceObject2, PlaceObject2(place)).ShowFrame();
    }
    timeline.End();
    BitWriter body;
    body.UI16(kSpinner).UI16(kSpinnerFrames).Bytes(timeline.Bytes());
    tags.Tag(39, body); // DefineSprite
}

// A button whose up state is the star, tinted.
void DefineButton(TagStream& tags) {
    CxformRecord tint;
    tint.hasMult = true;
    tint.redMult = 128;
    tint.greenMult = 200;
    tint.blueMult = 256;
    BitWriter body;
    body.UI16(kButton).UI8(0).UI16(0);  // not a menu, no actions
    body.UI8(0x0F).UI16(kStar).UI16(1); // up, over, down and hit: the star
    body.Matrix(Affine(0.6, 0, 0, 0.6, 0, 0)).CxformWithAlpha(tint);
    body.UI8(0);        // end of the records
    tags.Tag(34, body); // DefineButton2
}

// A shape tween: a square with a thin outline that swells into a round, blue blob with a
// thick one, its radial gradient widening with it.
void DefineTween(TagStream& tags) {
    ShapeWriter start(3), end(3);
    for (ShapeWriter* shape : {&start, &end}) {
        const bool round = shape == &end;
        const Rgba inner = round ? Rgba{60, 140, 240, 255} : Rgba{240, 120, 40, 255};
        const Rgba outer = round ? Rgba{20, 40, 120, 255} : Rgba{250, 220, 80, 255};
        shape->FillStyles({FillStyleRecord::Radial(GradientBox(round ? 70 : 50, 0, 0, 0),
                                                   {{0, inner}, {255, outer}})});
        shape->LineStyles({{uint16_t((round ? 4 : 1) * kTwips), {40, 30, 60, 255}}});
        shape->Change(StyleChange().Fill1(1).Line(1));
        const int32_t r = 25 * kTwips, c = (round ? 35 : 25) * kTwips;
        shape->MoveTo(-r, -r);
        // Each side of the square becomes a quarter of the blob.
        round ? shape->CurveTo(0, -c - r / 2, r, -r) : shape->LineTo(r, -r);
        round ? shape->CurveTo(c + r / 2, 0, r, r) : shape->LineTo(r, r);
        round ? shape->CurveTo(0, c + r / 2, -r, r) : shape->LineTo(-r, r);
        round ? shape->CurveTo(-c - r / 2, 0, -r, -r) : shape->LineTo(-r, -r);
    }
    MorphWriter(start, end).AddTo(tags, kTween, Bounds(-27, -27, 27, 27), Bounds(-55, -55, 55, 55));
}

// A caption in the viewer's sans-serif font: a font of a name only, and an HTML field
// that asks for its bold and italic faces.
void DefineCaption(TagStream& tags) {
    Font2Fields font;
    font.name = "_sans";
    tags.Tag(kDefineFont2, DefineFont2(kCaptionFont, font));
    EditTextFields caption;
    caption.bounds = Bounds(0, 0, 250, 30);
    caption.font = kCaptionFont;
    caption.height = 18 * kTwips;
    caption.color = Rgba{40, 30, 60, 255};
    caption.layout = EditLayout{2};
    caption.text = "<b>swfframes</b> <i>demo</i>";
    caption.flags = kEditHtml;
    caption.useOutlines = false;
    tags.Tag(kDefineEditText, DefineEditText(kCaption, caption));
}

// ---- The timeline --------------------------------------------------------------------

double Progress(int frame) {
    return double(frame) / (kFrames - 1);
}

// Filters and a blend mode, given at the first placement, stay with the object as it moves.
struct Effects {
    std::optional<std::vector<uint8_t>> filters;
    std::optional<uint8_t> blendMode;
};

void Place(TagStream& tags, int frame, uint16_t depth, uint16_t character, MatrixRecord matrix,
           std::optional<CxformRecord> cxform = std::nullopt,
           std::optional<uint16_t> clipDepth = std::nullopt, const Effects& effects = {}) {
    Placement place;
    place.depth = depth;
    if (frame == 0) place.character = character;
    place.move = frame > 0;
    place.matrix = matrix;
    place.cxform = cxform;
    if (frame == 0) place.clipDepth = clipDepth;
    if (frame == 0 && (effects.filters || effects.blendMode)) {
        tags.Tag(kPlaceObject3, PlaceObject3({.placement = place,
                                              .filters = effects.filters,
                                              .blendMode = effects.blendMode}));
        return;
    }
    tags.Tag(kPlaceObject2, PlaceObject2(place));
}

// A warm yellow glow, 8 pixels wide in two passes at strength 1.5.
std::vector<uint8_t> SunGlow() {
    BitWriter list;
    list.UI8(1).UI8(2).RGBA(255, 200, 0, 255).UI32(8 << 16).UI32(8 << 16);
    return list.UI16(0x180).UI8(0x20 | 2).Data();
}

constexpr uint8_t kMultiply = 3;

void PlaceFrame(TagStream& tags, int frame) {
    const double t = Progress(frame);
    const double pi = std::numbers::pi;
    if (frame == 0) Place(tags, frame, kBackdropDepth, kBackdrop, Affine(1, 0, 0, 1, 0, 0));
    // The clipping disc sweeps over the stripes.
    Place(tags, frame, kMaskDepth, kMaskDisc, Affine(1, 0, 0, 1, 70 + t * 410, 80), std::nullopt,
          kStripesDepth);
    if (frame == 0) Place(tags, frame, kStripesDepth, kStripes, Affine(1, 0, 0, 1, 0, 0));
    // The sun rises along an arc, glowing.
    Place(tags, frame, kSunDepth, kSun,
          Affine(1, 0, 0, 1, 60 + t * 430, 330 - std::sin(t * pi) * 180), std::nullopt,
          std::nullopt, {SunGlow(), std::nullopt});
    // The star turns as it crosses, multiplied over what lies below.
    Place(tags, frame, kStarDepth, kStar,
          Rotation(t * 2 * pi, 1 + 0.3 * std::sin(t * 2 * pi), 80 + t * 390, 240), std::nullopt,
          std::nullopt, {std::nullopt, kMultiply});
    // A square fades out and back through its colour transform's alpha, tinted red.
    CxformRecord fade;
    fade.hasMult = true;
    fade.alphaMult = int16_t(std::lround(256 * (0.5 + 0.5 * std::cos(t * 2 * pi))));
    fade.hasAdd = true;
    fade.redAdd = int16_t(std::lround(160 * t));
    Place(tags, frame, kFadeDepth, kSquare, Affine(1.4, 0, 0, 1.4, 470, 330), fade);
    Place(tags, frame, kTiledDepth, kTiledSquare, Rotation(-t * pi / 2, 0.9, 90, 330));
    // The sprite runs its own timeline while the main one moves it.
    Place(tags, frame, kSpinnerDepth, kSpinner,
          Affine(1, 0, 0, 1, 275, 330 - 20 * std::sin(t * 4 * pi)));
    if (frame == 0) Place(tags, frame, kButtonDepth, kButton, Affine(1, 0, 0, 1, 490, 40));
    // The tween goes there and back: its ratio follows the placement.
    Placement tween;
    tween.depth = kTweenDepth;
    if (frame == 0) tween.character = kTween;
    tween.move = frame > 0;
    tween.ratio = uint16_t(std::lround(65535 * (0.5 - 0.5 * std::cos(t * 2 * pi))));
    if (frame == 0) tween.matrix = Affine(1, 0, 0, 1, 200, 220);
    tags.Tag(kPlaceObject2, PlaceObject2(tween));
    if (frame == 0) Place(tags, frame, kCaptionDepth, kCaption, Affine(1, 0, 0, 1, 150, 8));
}

} // namespace

std::vector<uint8_t> BuildDemoMovie() {
    SwfWriter movie(kWidth, kHeight, kFrameRate);
    movie.SetBackgroundColor(255, 255, 255);
    const std::vector<std::function<void(TagStream&)>> definitions = {
        DefineBackdrop, DefineStripes,    DefineMaskDisc,    DefineSun,
        DefineStar,     DefineTileBitmap, DefineTiledSquare, DefineSquare,
        DefineSpinner,  DefineButton,     DefineTween,       DefineCaption};
    for (const auto& define : definitions) define(movie);
    for (int frame = 0; frame < kFrames; ++frame) {
        PlaceFrame(movie, frame);
        movie.ShowFrame();
    }
    movie.End();
    return movie.Finish();
}

} // namespace demo
