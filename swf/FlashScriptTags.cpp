// The main timeline's handlers for the tags that only the movie acts on.
#include "swf/FlashScript.h"

#include "swf/FBitmap.h"
#include "swf/FShape.h"

namespace UT {

void FlashScript::HandleDefineShape(bool withAlpha) {
    DefineCharacter(new FShape(this, withAlpha ? 3 : 2));
}

void FlashScript::HandleDefineBitmap(int kind) {
    DefineCharacter(new FBitmap(this, kind, jpegTablesPosition));
}

// Character classes for these definitions do not exist yet; the tags are skipped.
void FlashScript::HandleDefineFont(int /*kind*/) {}
void FlashScript::HandleDefineFontInfo() {}
void FlashScript::HandleDefineText(int /*kind*/) {}
void FlashScript::HandleDefineButton(int /*kind*/) {}
void FlashScript::HandleDefineButtonCxform() {}
void FlashScript::HandleDefineSprite() {}

// DefineBits (kind 0) decodes against the last tables met before it.
void FlashScript::HandleJPEGTables() {
    jpegTablesPosition = position;
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
