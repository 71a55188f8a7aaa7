// The main timeline's handlers for the tags that only the movie acts on.
#include "swf/FlashScript.h"

#include "swf/FBitmap.h"
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

// A shape tag gives the same shape on every pass over the tags (the dictionary it reads
// bitmaps from is the same at that point), so after a rewind the shape traced on the first
// pass is defined again instead of being read and traced anew.  A tag the reader could not
// finish is read again, so that it stops the tag loop as it did.
void FlashScript::HandleDefineShape(int version) {
    const auto traced = tracedShapes.find(TagStart());
    if (traced != tracedShapes.end()) {
        DefineCharacter(traced->second.Get());
        return;
    }
    const Held<FObject> shape(new FShape(this, version));
    if (!Exhausted()) tracedShapes.emplace(TagStart(), shape);
    DefineCharacter(shape.Get());
}

void FlashScript::HandleDefineBitmap(int kind) {
    DefineCharacter(new FBitmap(this, kind, jpegTablesPosition));
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
