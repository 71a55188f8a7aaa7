// The main timeline's handlers for the tags that only the movie acts on.
#include "swf/FlashScript.h"

#include "swf/FBitmap.h"
#include "swf/FMorphShape.h"
#include "swf/FShape.h"

#include "base/RecordConversions.h"
#include "swf/FButton.h"
#include "swf/FFont.h"
#include "swf/FSprite.h"
#include "swf/FText.h"

namespace UT {

namespace {

// A definition cut off by the end of the image defines nothing.
void DefineUnlessCutOff(FlashScript& movie, FObject* character) {
    const Held<FObject> hold(character);
    if (!movie.Exhausted()) movie.DefineCharacter(character);
}

} // namespace

// A shape, morph or bitmap tag gives the same character on every pass over the tags (the
// dictionary and JPEGTables it refers to are the same at that point), so after a rewind
// the character made on the first pass is defined again: shapes are not read and traced
// anew, morphs keep the shapes of the ratios they drew, bitmaps keep their decoded image.  A tag
// the reader could not finish is read again, so that it stops the tag loop as it did.
FObject* FlashScript::KeptDefinition() const {
    const auto kept = keptDefinitions.find(TagStart());
    return kept == keptDefinitions.end() ? nullptr : kept->second.Get();
}

Held<GlyphOutlines> FlashScript::KeptGlyphOutlines() {
    Held<GlyphOutlines>& kept = keptOutlines[TagStart()];
    if (!kept) kept = Held<GlyphOutlines>(new GlyphOutlines);
    return kept;
}

Held<GlyphFills> FlashScript::KeptGlyphFills() {
    Held<GlyphFills>& kept = keptFills[TagStart()];
    if (!kept) kept = Held<GlyphFills>(new GlyphFills);
    return kept;
}

void FlashScript::KeepDefinition(FObject* character) {
    const Held<FObject> hold(character);
    if (!Exhausted()) keptDefinitions.emplace(TagStart(), hold);
    DefineCharacter(character);
}

void FlashScript::HandleDefineShape(int version) {
    if (FObject* kept = KeptDefinition()) return DefineCharacter(kept);
    KeepDefinition(new FShape(this, version));
}

void FlashScript::HandleDefineMorphShape(int version) {
    if (FObject* kept = KeptDefinition()) return DefineCharacter(kept);
    KeepDefinition(new FMorphShape(this, version));
}

void FlashScript::HandleDefineBitmap(int kind) {
    if (FObject* kept = KeptDefinition()) return DefineCharacter(kept);
    KeepDefinition(new FBitmap(this, kind, jpegTablesPosition));
}

void FlashScript::HandleDefineFont(int kind) {
    DefineUnlessCutOff(*this, new FFont(this, kind));
}

// Adds names and codes to an earlier font; an unknown font makes the tag do nothing.
void FlashScript::HandleDefineFontInfo() {
    if (Held<FFont> font = FindFont(ReadUI16())) font->ReadFontInfo();
}

void FlashScript::HandleDefineText(int kind) {
    DefineUnlessCutOff(*this, new FText(this, kind));
}

void FlashScript::HandleDefineButton(int kind) {
    DefineUnlessCutOff(*this, new FButton(this, kind));
}

// Changes the records for instances made from now on; an unknown button makes the tag do
// nothing.
void FlashScript::HandleDefineButtonCxform() {
    if (Held<FButton> button = FindButton(ReadUI16()))
        button->SetColorTransform(ToColorTransform(ReadCxform(false)));
}

// A DefineSprite too short for its SpriteID and FrameCount defines nothing.
void FlashScript::HandleDefineSprite() {
    if (TagLength() < 4) return;
    DefineUnlessCutOff(*this, new FSprite(this));
}

// DefineBits (kind 0) decodes against the last tables met before it.  An empty tag (as
// authoring tools write when every DefineBits carries its own tables) gives no tables.
void FlashScript::HandleJPEGTables() {
    jpegTablesPosition = TagLength() > 0 ? position : 0;
}

void FlashScript::HandleSetBackgroundColor() {
    backgroundColor = ReadColor(false);
}

void FlashScript::HandleFreeCharacter() {
    FreeCharacter(ReadUI16());
}

void FlashScript::HandleNameCharacter() {
    const uint16_t id = ReadUI16();
    NameCharacter(id, ReadString());
}

} // namespace UT
