#include "shapes/MorphEdges.h"

#include "base/FlashParser.h"
#include "shapes/MorphBlend.h"
#include "shapes/RecordWriter.h"
#include "shapes/ShapeRecordReader.h"

#include <algorithm>
#include <cmath>

namespace UT {

namespace {

constexpr uint32_t kStyleFields =
    ShapeRecord::kMove | ShapeRecord::kFill0 | ShapeRecord::kFill1 | ShapeRecord::kLine;
// An edge record's deltas hold 17 signed bits; longer edges are written in pieces, with
// room for the rounding of each piece.
constexpr int64_t kPieceReach = 65000;
// More pieces than this come only from coordinates no drawing uses: such a morph is not
// drawn at that ratio.
constexpr int64_t kMostPieces = 16;

int32_t Wrapped(int32_t to, int32_t from) {
    return static_cast<int32_t>(static_cast<uint32_t>(to) - static_cast<uint32_t>(from));
}

int64_t Nearest(double v) {
    return static_cast<int64_t>(std::floor(v + 0.5));
}

// Writes the records of one ratio, keeping the pen where the written records put it.
class RecordEmitter {
public:
    RecordEmitter(RecordWriter& out, uint32_t fillBits, uint32_t lineBits)
        : out(out), fillBits(fillBits), lineBits(lineBits) {}

    void Change(uint32_t flags, const MorphRecord& styles, int32_t x, int32_t y) {
        out.UB(0, 1);
        out.UB(flags, 5);
        if (flags & ShapeRecord::kMove) {
            const uint32_t bits = RecordWriter::SignedBits({x, y});
            out.UB(bits, 5);
            out.SB(x, bits);
            out.SB(y, bits);
            penX = x;
            penY = y;
        }
        if (flags & ShapeRecord::kFill0) out.UB(styles.fill0, fillBits);
        if (flags & ShapeRecord::kFill1) out.UB(styles.fill1, fillBits);
        if (flags & ShapeRecord::kLine) out.UB(styles.line, lineBits);
    }

    bool Line(int32_t x, int32_t y) {
        const int64_t dx = int64_t{x} - penX;
        const int64_t dy = int64_t{y} - penY;
        const int64_t pieces = Pieces({dx, dy});
        if (pieces > kMostPieces) return false;
        const int64_t fromX = penX;
        const int64_t fromY = penY;
        for (int64_t k = 1; k <= pieces; ++k)
            Straight(static_cast<int32_t>(fromX + dx * k / pieces),
                     static_cast<int32_t>(fromY + dy * k / pieces));
        return true;
    }

    bool Curve(int32_t cx, int32_t cy, int32_t x, int32_t y) {
        const double x0 = penX, y0 = penY;
        const int64_t pieces = Pieces({cx - penX, cy - penY, int64_t{x} - cx, int64_t{y} - cy});
        if (pieces > kMostPieces) return false;
        if (pieces == 1) {
            Curved(cx, cy, x, y);
            return true;
        }
        // Pieces of the same quadratic, each with its own control point.
        for (int64_t k = 0; k < pieces; ++k) {
            const double t0 = double(k) / double(pieces);
            const double t1 = double(k + 1) / double(pieces);
            const double h = (t1 - t0);
            const double tangentX = (1 - t0) * (cx - x0) + t0 * (x - cx);
            const double tangentY = (1 - t0) * (cy - y0) + t0 * (y - cy);
            const double startX = (1 - t0) * (1 - t0) * x0 + 2 * t0 * (1 - t0) * cx + t0 * t0 * x;
            const double startY = (1 - t0) * (1 - t0) * y0 + 2 * t0 * (1 - t0) * cy + t0 * t0 * y;
            const double endX = (1 - t1) * (1 - t1) * x0 + 2 * t1 * (1 - t1) * cx + t1 * t1 * x;
            const double endY = (1 - t1) * (1 - t1) * y0 + 2 * t1 * (1 - t1) * cy + t1 * t1 * y;
            const bool last = k + 1 == pieces;
            Curved(static_cast<int32_t>(Nearest(startX + h * tangentX)),
                   static_cast<int32_t>(Nearest(startY + h * tangentY)),
                   last ? x : static_cast<int32_t>(Nearest(endX)),
                   last ? y : static_cast<int32_t>(Nearest(endY)));
        }
        return true;
    }

    void End() {
        out.UB(0, 6);
        out.Align();
    }

private:
    static int64_t Pieces(std::initializer_list<int64_t> deltas) {
        int64_t reach = 0;
        for (int64_t d : deltas) reach = std::max(reach, d < 0 ? -d : d);
        return std::max<int64_t>(1, (reach + kPieceReach - 1) / kPieceReach);
    }

    void Straight(int32_t x, int32_t y) {
        const int32_t dx = x - penX;
        const int32_t dy = y - penY;
        const uint32_t bits = std::max(2u, RecordWriter::SignedBits({dx, dy}));
        out.UB(1, 1);
        out.UB(1, 1);
        out.UB(bits - 2, 4);
        if (dx != 0 && dy != 0) {
            out.UB(1, 1);
            out.SB(dx, bits);
            out.SB(dy, bits);
        } else {
            out.UB(0, 1);
            out.UB(dx == 0, 1);
            out.SB(dx == 0 ? dy : dx, bits);
        }
        penX = x;
        penY = y;
    }

    void Curved(int32_t cx, int32_t cy, int32_t x, int32_t y) {
        const int32_t deltas[] = {cx - penX, cy - penY, x - cx, y - cy};
        const uint32_t bits =
            std::max(2u, RecordWriter::SignedBits({deltas[0], deltas[1], deltas[2], deltas[3]}));
        out.UB(1, 1);
        out.UB(0, 1);
        out.UB(bits - 2, 4);
        for (int32_t d : deltas) out.SB(d, bits);
        penX = x;
        penY = y;
    }

    RecordWriter& out;
    uint32_t fillBits;
    uint32_t lineBits;
    int32_t penX = 0;
    int32_t penY = 0;
};

} // namespace

MorphEdges::MorphEdges(FlashParser& reader, uint32_t endOffset, uint32_t limit) {
    ReadList(reader, limit, true, start);
    for (const MorphRecord& r : start) {
        if (r.flags & ShapeRecord::kFill0) fillIndexMax = std::max(fillIndexMax, r.fill0);
        if (r.flags & ShapeRecord::kFill1) fillIndexMax = std::max(fillIndexMax, r.fill1);
        if (r.flags & ShapeRecord::kLine) lineIndexMax = std::max(lineIndexMax, r.line);
    }
    // End edges that the offset puts past the tag are none.
    if (endOffset >= limit) return;
    reader.Seek(endOffset);
    ReadList(reader, limit, false, end);
}

void MorphEdges::ReadList(FlashParser& reader, uint32_t limit, bool withStyles,
                          std::vector<MorphRecord>& list) {
    ShapeRecordReader records(reader, RecordUnits::kTwips);
    records.ReadIndexBits();
    int64_t x = 0, y = 0;
    int32_t rawX = 0, rawY = 0;
    while (reader.Position() < limit && !reader.Exhausted()) {
        const ShapeRecord record = records.Next();
        if (record.kind == ShapeRecord::kEnd) break;
        MorphRecord m;
        if (record.kind == ShapeRecord::kStyleChange) {
            // New style arrays have no place in a morph: the list ends there.
            if (record.flags & ShapeRecord::kNewStyles) break;
            m.flags = withStyles ? record.flags & kStyleFields : record.flags & ShapeRecord::kMove;
            if (m.flags == 0) continue;
            m.fill0 = record.fill0;
            m.fill1 = record.fill1;
            m.line = record.line;
            if (record.flags & ShapeRecord::kMove) {
                rawX = records.PenX();
                rawY = records.PenY();
                x = rawX;
                y = rawY;
            }
        } else {
            m.kind = record.kind == ShapeRecord::kCurvedEdge ? MorphRecord::kCurvedEdge
                                                             : MorphRecord::kStraightEdge;
            if (m.kind == MorphRecord::kCurvedEdge) {
                m.controlX = x + Wrapped(records.ControlX(), rawX);
                m.controlY = y + Wrapped(records.ControlY(), rawY);
            }
            x += Wrapped(records.PenX(), rawX);
            y += Wrapped(records.PenY(), rawY);
            rawX = records.PenX();
            rawY = records.PenY();
        }
        m.x = x;
        m.y = y;
        list.push_back(m);
    }
}

bool MorphEdges::Write(const MorphBlend& blend, RecordWriter& out) const {
    const uint32_t fillBits = std::min(15u, RecordWriter::UnsignedBits(fillIndexMax));
    const uint32_t lineBits = std::min(15u, RecordWriter::UnsignedBits(lineIndexMax));
    out.Align();
    out.UB(fillBits, 4);
    out.UB(lineBits, 4);
    RecordEmitter emit(out, fillBits, lineBits);
    // Where each list's pen is.
    double sx = 0, sy = 0, ex = 0, ey = 0;
    size_t j = 0;
    const auto isMove = [](const MorphRecord& r) { return r.kind == MorphRecord::kStyleChange; };
    for (const MorphRecord& s : start) {
        if (isMove(s)) {
            if (s.flags & ShapeRecord::kMove) {
                if (j < end.size() && isMove(end[j])) {
                    ex = double(end[j].x);
                    ey = double(end[j].y);
                    ++j;
                }
                sx = double(s.x);
                sy = double(s.y);
            }
            emit.Change(s.flags, s, blend.Field(sx, ex), blend.Field(sy, ey));
            continue;
        }
        // Moves of the end list alone.
        for (; j < end.size() && isMove(end[j]); ++j) {
            ex = double(end[j].x);
            ey = double(end[j].y);
            emit.Change(ShapeRecord::kMove, end[j], blend.Field(sx, ex), blend.Field(sy, ey));
        }
        if (j >= end.size()) break;
        const MorphRecord& e = end[j++];
        const bool startCurved = s.kind == MorphRecord::kCurvedEdge;
        const bool endCurved = e.kind == MorphRecord::kCurvedEdge;
        // At either end the edge is that list's own.
        const bool curved = blend.Ratio() == 0       ? startCurved
                            : blend.Ratio() == 65535 ? endCurved
                                                     : startCurved || endCurved;
        const int32_t x = blend.Field(double(s.x), double(e.x));
        const int32_t y = blend.Field(double(s.y), double(e.y));
        bool written;
        if (curved) {
            const double scx = startCurved ? double(s.controlX) : (sx + double(s.x)) / 2;
            const double scy = startCurved ? double(s.controlY) : (sy + double(s.y)) / 2;
            const double ecx = endCurved ? double(e.controlX) : (ex + double(e.x)) / 2;
            const double ecy = endCurved ? double(e.controlY) : (ey + double(e.y)) / 2;
            written = emit.Curve(blend.Field(scx, ecx), blend.Field(scy, ecy), x, y);
        } else {
            written = emit.Line(x, y);
        }
        if (!written) return false;
        sx = double(s.x);
        sy = double(s.y);
        ex = double(e.x);
        ey = double(e.y);
    }
    emit.End();
    return true;
}

} // namespace UT
