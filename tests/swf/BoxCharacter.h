// A test character that fills one rectangle with one colour through the graphics
// context, and a movie that defines boxes from a private tag, so that timelines can be
// tested by pixels before any real character draws.
#pragma once

#include "../graphics/Canvas.h"
#include "support/BitWriter.h"
#include "swf/FObject.h"
#include "swf/FlashScript.h"

#include <array>
#include <cstdint>
#include <vector>

constexpr uint16_t kDefineBoxTag = 1000;

class BoxCharacter : public UT::FObject {
public:
    // Reads id, the rectangle in whole pixels and an RGBA colour.
    explicit BoxCharacter(UT::FlashScript* owner) : UT::FObject(owner) {
        id = owner->ReadUI16();
        box.xmin = owner->ReadUI16();
        box.ymin = owner->ReadUI16();
        box.xmax = owner->ReadUI16();
        box.ymax = owner->ReadUI16();
        color = owner->ReadColor(true);
        ++constructed;
    }
    const char* GetTypeName() const override { return "Box"; }
    void Render(GraphicsContext& context, UT::FDisplayItem*) override {
        context.SetFillColor(color);
        context.Rect(box);
    }

    RectF box;
    ColorRGBA color;
    static inline int constructed = 0;
};

class BoxMovie : public UT::FlashScript {
public:
    bool HandleTag(uint16_t code) override {
        if (code != kDefineBoxTag) return UT::FlashScript::HandleTag(code);
        auto* box = new BoxCharacter(this);
        DefineCharacter(box);
        return false;
    }
};

inline std::vector<uint8_t> DefineBox(uint16_t id, int x0, int y0, int x1, int y1,
                                      std::array<uint8_t, 4> rgba) {
    return swftest::BitWriter()
        .UI16(id)
        .UI16(uint16_t(x0))
        .UI16(uint16_t(y0))
        .UI16(uint16_t(x1))
        .UI16(uint16_t(y1))
        .RGBA(rgba[0], rgba[1], rgba[2], rgba[3])
        .Data();
}
