// The base of every character: one definition from the movie, stored in the movie's
// dictionary under its id and shared by reference count with the display items that
// show it.
#pragma once

#include "base/RefCountBase.h"
#include "base/ValueTypes.h"

#include <cstdint>
#include <string>

class GraphicsContext;

namespace UT {

class FlashScript;
class FDisplayItem;

class FObject : public RefCountBase {
public:
    // `owner` is the movie whose reader holds the definition; a subclass constructor
    // reads its tag from it, id first.
    explicit FObject(FlashScript* owner) : owner(owner) {}
    ~FObject() override;

    virtual const char* GetTypeName() const = 0;
    // Draws one placed instance; the instance's matrix and colour transform are already
    // on the context's stacks.
    virtual void Render(GraphicsContext& context, FDisplayItem* item);
    // A new display item for one placement, holding one reference.
    virtual FDisplayItem* CreateDisplayItem(int32_t depth);

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
