// A flat list of tagged points in float coordinates, replayed element by element into a
// ZPath::Iterator.  Producers append; the walk is the only consumer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct ZPathElement {
    float x;
    float y;
    uint8_t kind;
};

class ZPath {
public:
    enum Kind : uint8_t {
        kCurvePoint = 0, // second or third point of the preceding curve element
        kMove = 1,
        kLine = 2,
        kQuad = 3,  // control point; the next element is the end point
        kCubic = 4, // first control point; the next two are control 2 and the end point
        kNop = 5,
        kClose = 6, // carries the coordinates of the first element
        kEnd = 7,   // the walk stops here; carries the coordinates of the first element
    };

    // Visitor of path elements.  Deliberately without a virtual destructor: iterators are
    // never deleted through this interface.
    class Iterator {
    public:
        virtual void Begin() = 0;
        virtual void MoveTo(float x, float y) = 0;
        virtual void LineTo(float x, float y) = 0;
        virtual void CubicTo(float c1x, float c1y, float c2x, float c2y, float x, float y) = 0;
        virtual void QuadTo(float cx, float cy, float x, float y) = 0;
        virtual void ArcTo(float rx, float ry, float x, float y, uint32_t reserved,
                           int32_t increasing) = 0;
        virtual void Close() = 0;

        // The walk hands every visitor a run of consecutive line elements in one call of
        // LineRun; this one draws them with LineTo, point by point.  A visitor may hide it
        // with a LineRun of its own that draws the same segments faster: the walk calls
        // that one when it knows the visitor's own type (Walk), while Iterate, which knows
        // only this interface, always calls this one.
        void LineRun(const ZPathElement* points, size_t n) {
            for (size_t i = 0; i < n; ++i) LineTo(points[i].x, points[i].y);
        }

    protected:
        ~Iterator() = default;
    };

    ZPath();
    virtual ~ZPath();

    void MoveTo(float x, float y) { Append(x, y, kMove); }
    void LineTo(float x, float y) { Append(x, y, kLine); }
    void QuadTo(float cx, float cy, float x, float y);
    void Close();
    void MarkEnd();
    // Low-level append of any element kind.
    void Append(float x, float y, uint8_t kind);
    void Clear() { elements_.clear(); }
    // Makes this path's elements those of `other`, reusing the room it has.
    void CopyFrom(const ZPath& other) {
        elements_.assign(other.elements_.begin(), other.elements_.end());
    }

    bool IsClosed() const;
    size_t Count() const { return elements_.size(); }
    size_t Capacity() const { return elements_.capacity(); }
    const ZPathElement& operator[](size_t i) const { return elements_[i]; }

    void Iterate(Iterator& it) const;
    // The same walk for a visitor whose type is known here (an Iterator): a final class
    // gets its calls bound directly instead of through the virtual table, and its own
    // LineRun if it has one.
    template <class Visitor> void Walk(Visitor& it) const;

private:
    ZPathElement FirstPointAs(uint8_t kind) const;

    std::vector<ZPathElement> elements_;
};

template <class Visitor> void ZPath::Walk(Visitor& it) const {
    it.Begin();
    const size_t n = elements_.size();
    const ZPathElement* e = elements_.data();
    for (size_t i = 0; i < n; ++i) {
        switch (e[i].kind) {
        case kMove:
            it.MoveTo(e[i].x, e[i].y);
            break;
        case kLine: {
            size_t end = i + 1;
            while (end < n && e[end].kind == kLine) ++end;
            it.LineRun(e + i, end - i);
            i = end - 1;
            break;
        }
        case kQuad:
            if (i + 1 >= n) return; // truncated curve: nothing sensible to draw
            it.QuadTo(e[i].x, e[i].y, e[i + 1].x, e[i + 1].y);
            ++i;
            break;
        case kCubic:
            if (i + 2 >= n) return;
            it.CubicTo(e[i].x, e[i].y, e[i + 1].x, e[i + 1].y, e[i + 2].x, e[i + 2].y);
            i += 2;
            break;
        case kClose:
            it.Close();
            break;
        case kCurvePoint:
        case kNop:
            break;
        default:
            return;
        }
    }
}
