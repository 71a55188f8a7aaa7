#include "ButtonWriter.h"

namespace swftest {

namespace {

void WriteRecords(BitWriter& body, const std::vector<ButtonRecordFields>& records,
                  bool withCxform) {
    for (const ButtonRecordFields& record : records) {
        // The flags come in the order HitTest, Down, Over, Up: the reverse of their bits.
        body.Align().UB(0, 4);
        for (uint8_t bit : {ButtonRecordFields::kHitTest, ButtonRecordFields::kDown,
                            ButtonRecordFields::kOver, ButtonRecordFields::kUp})
            body.UB((record.states & bit) ? 1 : 0, 1);
        body.UI16(record.character).UI16(record.depth).Matrix(record.matrix);
        if (withCxform) body.CxformWithAlpha(record.cxform);
    }
    body.UI8(0); // end of records
}

} // namespace

std::vector<uint8_t> DefineButton(uint16_t id, const std::vector<ButtonRecordFields>& records) {
    BitWriter body;
    body.UI16(id);
    WriteRecords(body, records, false);
    body.UI8(0); // the end of the action list
    return body.Data();
}

std::vector<uint8_t> DefineButton2(uint16_t id, const std::vector<ButtonRecordFields>& records,
                                   uint8_t trackAsMenu) {
    BitWriter body;
    body.UI16(id).UI8(trackAsMenu).UI16(0); // ActionOffset 0: no condition actions
    WriteRecords(body, records, true);
    return body.Data();
}

std::vector<uint8_t> DefineButtonCxform(uint16_t id, const CxformRecord& cxform) {
    return BitWriter().UI16(id).Cxform(cxform).Data();
}

} // namespace swftest
