// An outline's path kept as the graphics context built it on its first draw, so that later
// draws put it back instead of issuing the calls again and flattening their curves again;
// with it, once stroked, the stroke's outline.
// Kept paths take their room from an allowance shared by the movie's outlines, which they
// give back when they go.
#pragma once

#include "base/RefCountBase.h"
#include "graphics/GraphicsContext.h"

#include <cstddef>
#include <cstdint>

namespace UT {

class PathRoom : public RefCountBase, public ZRoom {
public:
    explicit PathRoom(size_t bytes) : left(bytes) {}
    // False, with nothing taken, when `bytes` no longer fit.
    bool Take(size_t bytes) override;
    void Give(size_t bytes) { left += bytes; }
    size_t Left() const { return left; }

private:
    size_t left;
};

class KeptPath {
public:
    KeptPath() = default;
    KeptPath(const KeptPath&) = delete;
    KeptPath& operator=(const KeptPath&) = delete;
    // For containers that grow: the kept path and its room go with it (the room's holder
    // is left empty, so only the new place gives the room back).
    KeptPath(KeptPath&&) = default;
    ~KeptPath();

    // Builds the path BeginPath has just opened: from what was kept, else by `issue()` (the
    // calls that build it), keeping the result when `room` has room for it.  A path whose
    // calls depend on a transform (points already mapped to the device) is kept with that
    // `key`, and put back only for the same one, bit for bit; for another it is built by
    // its calls.
    template <class Issue>
    void Build(GraphicsContext& context, PathRoom* room, const Issue& issue,
               const Matrix4* key = nullptr) {
        if ((state == kKept || state == kPathOnly) && SameKey(key) && context.RestorePath(built))
            return;
        const bool first = state == kUntried && context.PathIsEmpty();
        issue();
        if (first) Keep(context, room, key);
    }

    // Ahead of the next draw, asks the memory for what it reads first: PrefetchOwn for the
    // kept path's own lines, PrefetchHeld (a path later, once those are in) for the spans
    // they point to.  Shapes of many small paths otherwise wait on each path in turn.
    void PrefetchOwn() const {
        const char* self = reinterpret_cast<const char*>(this);
        for (size_t at = 0; at < sizeof *this; at += 64) __builtin_prefetch(self + at);
    }
    void PrefetchHeld() const {
        if (state != kKept && state != kPathOnly) return;
        built.keptFill.PrefetchSpans();
        if (built.outlineKept) built.keptOutlineFill.PrefetchSpans();
    }

    // Whether a path is kept for `key`, bit for bit.
    bool HeldFor(const Matrix4& key) const {
        return (state == kKept || state == kPathOnly) && SameKey(&key);
    }

    // After the kept path is drawn: keeps the stroke outline the draw made of it too, when
    // the room allows, so that later strokes of it skip the outlining.
    void KeepOutline(GraphicsContext& context);

private:
    void Keep(GraphicsContext& context, PathRoom* room, const Matrix4* key);
    void AllowFill(ZKeptFill& fill, const ZPath& path, bool afterDraw, size_t spans);
    bool SameKey(const Matrix4* key) const;

    // kPathOnly: the path is kept, and its outline found no room.
    enum State : uint8_t { kUntried, kKept, kPathOnly, kNotKept };
    // What every draw reads first lies first, on the line the path's own header starts.
    State state = kUntried;
    bool keyed = false;
    GraphicsContext::BuiltPath built;
    Held<PathRoom> heldRoom; // the allowance the kept path's bytes came from
    size_t bytes = 0;
    Matrix4 keyMatrix;
};

} // namespace UT
