#include "ButtonWriter.h"

namespace swftest {

namespace {

BitWriter& WriteRecords(BitWriter& body, const std::vector<ButtonRecordFields>& records,
                        bool withCxform) {
    for (const ButtonRecordFields& record : records) {
        // Four reserved bits, then HitTest, Down, Over, Up: the reverse of their bits.
        body.Align().UB(0, 4);
        for (unsigned bit = 0; bit < 4; ++bit) body.UB((record.states >> bit) & 1, 1);
        body.UI16(record.character).UI16(record.depth).Matrix(record.matrix);
        if (withCxform) body.CxformWithAlpha(record.cxform);
    }
    return body.UI8(0); // end of records
}

} // namespace

std::vector<uint8_t> DefineButton(uint16_t id, const std::vector<ButtonRecordFields>& records) {
    BitWriter body;
    return WriteRecords(body.UI16(id), records, false).UI8(0).Data(); // and no actions
}

std::vector<uint8_t> DefineButton2(uint16_t id, const std::vector<ButtonRecordFields>& records,
                                   uint8_t trackAsMenu) {
    BitWriter body;
    body.UI16(id).UI8(trackAsMenu).UI16(0); // ActionOffset 0: no condition actions
    return WriteRecords(body, records, true).Data();
}

} // namespace swftest
