// The movie's main timeline: owns the file image, the header fields and the character
// dictionary, and handles the definition tags besides the timeline ones.
#pragma once

#include "base/RefCountBase.h"
#include "base/ValueTypes.h"
#include "swf/DeviceFonts.h"
#include "swf/FButton.h"
#include "swf/FFont.h"
#include "swf/FObject.h"
#include "swf/FlashSubScript.h"
#include "swf/GlyphFills.h"
#include "swf/GlyphOutline.h"
#include "swf/KeptPath.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string_view>

namespace UT {

class FlashScript : public FlashSubScript {
public:
    FlashScript();
    // Releases the dictionary, then frees the file image.
    ~FlashScript() override;

    // Reads the whole file into a new image and parses its header.  False when the file
    // cannot be opened or read whole, or when the header is refused.
    bool LoadFile(const char* path);
    // Checks the header and fills the header fields.  The image must come from
    // GlobalAlloc; the movie owns it from now on and frees it, also when this fails.
    bool Parse(uint8_t* image, uint32_t size);

    // Back to the first tag with an empty dictionary.
    void Rewind() override;
    // Definition tags, SetBackgroundColor, JPEGTables, FreeCharacter and NameCharacter;
    // everything else goes to the timeline.
    bool HandleTag(uint16_t code) override;

    // Stores `object` under its id, releasing any character stored there before.
    void DefineCharacter(FObject* object);
    // Null when the id has no character (or one of another class, for the typed finds).
    Held<FObject> FindCharacter(uint32_t id) const;
    Held<FFont> FindFont(uint32_t id) const;
    // The font of that name (trailing NULs aside) and style, else one of that name, else
    // null; not held (the dictionary keeps it).
    FFont* FindFontByName(const std::string& name, bool bold, bool italic) const;
    // The bundled font that draws text asking for the named font without its outlines;
    // kept for the movie's life.  Null only when the bundled fonts cannot be read.
    FFont* FindDeviceFont(std::string_view name, bool bold, bool italic);
    Held<FButton> FindButton(uint32_t id) const;
    // Removes the entry; an absent id changes nothing.
    void FreeCharacter(uint32_t id);
    // Names the character; a name for an absent id is dropped.
    void NameCharacter(uint32_t id, const char* name);
    size_t CharacterCount() const { return dictionary.size(); }

    // The allowance that the movie's outlines keep their flattened paths in between frames,
    // so that no file can make them grow without bound.
    PathRoom* KeptPathRoom() const { return pathRoom.Get(); }
    // The glyph outlines of the font, and the glyph fills of the text, whose tag is being
    // read: kept by the tag's place for the movie's life, so that the character the tag
    // makes again after a rewind draws from what the first one kept.
    Held<GlyphOutlines> KeptGlyphOutlines();
    Held<GlyphFills> KeptGlyphFills();

    uint16_t Version() const { return version; }
    float FrameRate() const { return frameRate; }
    const RectF& FrameRect() const { return frameRect; }
    const ColorRGBA& BackgroundColor() const { return backgroundColor; }
    // Offset of the data of the last JPEGTables tag, 0 when there was none.
    uint32_t JpegTablesPosition() const { return jpegTablesPosition; }

protected:
    // Definition tags: each creates one character and hands it to DefineCharacter.
    void HandleDefineShape(int version);
    void HandleDefineMorphShape(int version);
    void HandleDefineBitmap(int kind);
    void HandleDefineFont(int kind);
    void HandleDefineFontInfo();
    void HandleDefineText(int kind);
    void HandleDefineButton(int kind);
    void HandleDefineButtonCxform();
    void HandleDefineSprite();

    void HandleJPEGTables();
    void HandleSetBackgroundColor();
    void HandleFreeCharacter();
    void HandleNameCharacter();

private:
    void ReleaseImage();
    // The character the tag being handled made on an earlier pass, or null.
    FObject* KeptDefinition() const;
    // Defines the character just read, and keeps it for later passes.
    void KeepDefinition(FObject* character);

    static constexpr size_t kPathRoom = size_t(64) << 20;

    uint8_t* image = nullptr;
    Held<PathRoom> pathRoom{new PathRoom(kPathRoom)};
    uint16_t version = 0;
    float frameRate = 0;
    RectF frameRect;
    ColorRGBA backgroundColor;
    uint32_t jpegTablesPosition = 0;
    std::map<uint32_t, Held<FObject>> dictionary;
    // The shapes, morphs and bitmaps read so far by the offset of their tag, kept over
    // rewinds; and what fonts and texts keep for their draws.
    std::map<uint32_t, Held<FObject>> keptDefinitions;
    std::map<uint32_t, Held<GlyphOutlines>> keptOutlines;
    std::map<uint32_t, Held<GlyphFills>> keptFills;
    std::unique_ptr<DeviceFonts> deviceFonts; // opened when a text first needs one
};

} // namespace UT
