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

    bool IsClosed() const;
    size_t Count() const { return elements_.size(); }
    size_t Capacity() const { return elements_.capacity(); }
    const ZPathElement& operator[](size_t i) const { return elements_[i]; }

    void Iterate(Iterator& it) const;

private:
    ZPathElement FirstPointAs(uint8_t kind) const;

    std::vector<ZPathElement> elements_;
};
