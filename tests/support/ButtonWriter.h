// Button tags for fixtures: DefineButton and DefineButton2 with their records, and
// DefineButtonCxform.  Actions are never written beyond the empty action list.
#pragma once

#include "BitWriter.h"

#include <cstdint>
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
};

std::vector<uint8_t> DefineButton(uint16_t id, const std::vector<ButtonRecordFields>& records);
std::vector<uint8_t> DefineButton2(uint16_t id, const std::vector<ButtonRecordFields>& records,
                                   uint8_t trackAsMenu = 0);
inline std::vector<uint8_t> DefineButtonCxform(uint16_t id, const CxformRecord& cxform) {
    return BitWriter().UI16(id).Cxform(cxform).Data();
}

} // namespace swftest
