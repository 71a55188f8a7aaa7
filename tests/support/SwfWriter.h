// Writes an uncompressed movie for tests and demos: the header (signature, version,
// exact file length, frame rectangle, 8.8 frame rate, frame count) followed by the tags
// added through TagStream.  Nothing is appended by itself: add End() to end the movie.
//
//     SwfWriter movie(550, 400, 24.0);
//     movie.SetBackgroundColor(255, 255, 255).ShowFrame().End();
//     std::vector<uint8_t> bytes = movie.Finish();
#pragma once

#include "SwfRecords.h"
#include "TagStream.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace swftest {

class SwfWriter : public TagStream {
public:
    // A frame of width x height pixels at the origin.
    SwfWriter(uint32_t width, uint32_t height, double frameRate);

    SwfWriter& Version(uint8_t version);
    SwfWriter& FrameRect(const RectRecord& twips);
    // The raw 8.8 field, for rates that a double would not say exactly.
    SwfWriter& FrameRate8_8(uint16_t rate);
    // Overrides the count of ShowFrame tags written.
    SwfWriter& FrameCount(uint16_t count);

    std::vector<uint8_t> Finish() const;

private:
    uint8_t version = 6;
    RectRecord frameRect;
    uint16_t frameRate;
    std::optional<uint16_t> frameCount;
};

} // namespace swftest
