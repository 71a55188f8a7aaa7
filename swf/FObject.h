// The base of every character: one definition from the movie, stored in the movie's
// dictionary under its id and shared by reference count with the display items that
// show it.
#pragma once

#include "swf/RefCountBase.h"
#include "swf/ValueTypes.h"

#include <cstdint>
#include <string>

namespace UT {

class FlashScript;

class FObject : public RefCountBase {
public:
    // `owner` is the movie whose reader holds the definition; a subclass constructor
    // reads its tag from it, id first.
    explicit FObject(FlashScript* owner) : owner(owner) {}
    ~FObject() override;

    virtual const char* GetTypeName() const = 0;

    FlashScript* Owner() const { return owner; }
    uint32_t Id() const { return id; }
    const std::string& Name() const { return name; }
    void SetName(const char* text) { name = text; }
    const RectF& Bounds() const { return bounds; }

protected:
    FlashScript* owner;
    uint32_t id = 0;
    std::string name;
    RectF bounds;
};

} // namespace UT
