// DefineButton and DefineButton2 with their records, and DefineButtonCxform.  Actions are
// never written beyond the empty action list.
#pragma once

#include "BitWriter.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace swftest {

enum ButtonTag : uint16_t {
    kDefineButton = 7,
    kDefineButtonCxform = 23,
    kDefineButton2 = 34,
};

// One BUTTONRECORD.  The colour transform is written only by DefineButton2.
struct ButtonRecordFields {
    enum State : uint8_t { kHitTest = 0x01, kDown = 0x02, kOver = 0x04, kUp = 0x08 };

    uint8_t states = kUp;
    uint16_t character = 0;
    uint16_t depth = 1;
    MatrixRecord matrix = {};
    CxformRecord cxform = {};
    // DefineButton2 only: a FILTERLIST as written and a blend mode byte.
    std::optional<std::vector<uint8_t>> filters = std::nullopt;
    std::optional<uint8_t> blendMode = std::nullopt;
};

inline BitWriter& WriteButtonRecords(BitWriter& body,
                                     const std::vector<ButtonRecordFields>& records,
                                     bool withCxform) {
    for (const ButtonRecordFields& record : records) {
        // Two reserved bits, HasBlendMode, HasFilterList, then HitTest, Down, Over, Up: the
        // reverse of their bits.
        body.Align().UB(0, 2).UB(record.blendMode ? 1 : 0, 1).UB(record.filters ? 1 : 0, 1);
        for (unsigned bit = 0; bit < 4; ++bit) body.UB((record.states >> bit) & 1, 1);
        body.UI16(record.character).UI16(record.depth).Matrix(record.matrix);
        if (!withCxform) continue;
        body.CxformWithAlpha(record.cxform);
        if (record.filters) body.Bytes(*record.filters);
        if (record.blendMode) body.UI8(*record.blendMode);
    }
    return body.UI8(0); // end of records
}

inline std::vector<uint8_t> DefineButton(uint16_t id,
                                         const std::vector<ButtonRecordFields>& records) {
    BitWriter body;
    return WriteButtonRecords(body.UI16(id), records, false).UI8(0).Data(); // and no actions
}

// ActionOffset 0: no condition actions.
inline std::vector<uint8_t> DefineButton2(uint16_t id,
                                          const std::vector<ButtonRecordFields>& records) {
    BitWriter body;
    return WriteButtonRecords(body.UI16(id).UI8(0).UI16(0), records, true).Data();
}

inline std::vector<uint8_t> DefineButtonCxform(uint16_t id, const CxformRecord& cxform) {
    return BitWriter().UI16(id).Cxform(cxform).Data();
}

} // namespace swftest
