#include "tools/swfframes/ContactSheet.h"

#include "tools/swfframes/DigitFont.h"

#include <algorithm>

namespace {

constexpr std::array<uint8_t, 4> kSheetColour = {40, 40, 44, 255};
constexpr std::array<uint8_t, 4> kLabelColour = {235, 235, 235, 255};
constexpr uint8_t kCheckLight = 204, kCheckDark = 153;
constexpr int kCheckSize = 8;

void SetPixel(uint8_t* pixel, uint8_t red, uint8_t green, uint8_t blue) {
    pixel[0] = red;
    pixel[1] = green;
    pixel[2] = blue;
    pixel[3] = 255;
}

// Straight-alpha `bgra` over the opaque pixel at `rgba`.
void BlendOver(uint8_t* rgba, const uint8_t* bgra) {
    const int alpha = bgra[3];
    for (int c = 0; c < 3; ++c)
        rgba[c] = uint8_t((bgra[2 - c] * alpha + rgba[c] * (255 - alpha) + 127) / 255);
}

} // namespace

ContactSheet::ContactSheet(int cellWidth, int cellHeight, int columns, int cells,
                           const Background& background)
    : cellWidth_(cellWidth), cellHeight_(cellHeight),
      columns_(std::max(1, std::min(columns, cells))), background_(background) {
    const int rows = (cells + columns_ - 1) / columns_;
    image_ = RgbaImage(kMargin + columns_ * (cellWidth_ + kMargin),
                       kMargin + rows * (cellHeight_ + kLabelHeight + kMargin));
    for (int y = 0; y < image_.height; ++y)
        for (int x = 0; x < image_.width; ++x)
            SetPixel(image_.Row(y) + size_t(x) * 4, kSheetColour[0], kSheetColour[1],
                     kSheetColour[2]);
}

int ContactSheet::CellX(int index) const {
    return kMargin + (index % columns_) * (cellWidth_ + kMargin);
}

int ContactSheet::CellY(int index) const {
    return kMargin + (index / columns_) * (cellHeight_ + kLabelHeight + kMargin);
}

void ContactSheet::Place(int index, int64_t frameNumber, const FrameView& frame) {
    const int x = CellX(index), y = CellY(index);
    PaintCellBackdrop(x, y);
    DrawFrame(x + (cellWidth_ - std::min(frame.width, cellWidth_)) / 2,
              y + (cellHeight_ - std::min(frame.height, cellHeight_)) / 2, frame);
    const int labelX = x + (cellWidth_ - NumberWidth(frameNumber, kLabelScale)) / 2;
    DrawNumber(image_, labelX, y + cellHeight_ + 3, frameNumber, kLabelScale, kLabelColour);
}

void ContactSheet::PaintCellBackdrop(int x, int y) {
    for (int dy = 0; dy < cellHeight_; ++dy)
        for (int dx = 0; dx < cellWidth_; ++dx) {
            uint8_t* pixel = image_.Row(y + dy) + size_t(x + dx) * 4;
            if (!background_.none) {
                SetPixel(pixel, background_.red, background_.green, background_.blue);
                continue;
            }
            const bool light = ((dx / kCheckSize) + (dy / kCheckSize)) % 2 == 0;
            const uint8_t grey = light ? kCheckLight : kCheckDark;
            SetPixel(pixel, grey, grey, grey);
        }
}

void ContactSheet::DrawFrame(int x, int y, const FrameView& frame) {
    const int width = std::min(frame.width, cellWidth_);
    const int height = std::min(frame.height, cellHeight_);
    for (int row = 0; row < height; ++row) {
        const uint8_t* source = frame.Row(row);
        uint8_t* target = image_.Row(y + row) + size_t(x) * 4;
        for (int column = 0; column < width; ++column)
            BlendOver(target + size_t(column) * 4, source + size_t(column) * 4);
    }
}
