// A contact sheet: frames in a grid of equal cells, left to right and top to bottom,
// each with its frame number beneath.  Transparent pixels show a checkerboard unless a
// background colour is given.
#pragma once

#include "tools/swfhost/Background.h"
#include "tools/swfhost/FrameView.h"
#include "tools/swfframes/RgbaImage.h"

#include <cstdint>

class ContactSheet {
public:
    ContactSheet(int cellWidth, int cellHeight, int columns, int cells,
                 const Background& background);

    // Draws `frame` into cell `index`, centred, and labels it `frameNumber`.
    void Place(int index, int64_t frameNumber, const FrameView& frame);

    const RgbaImage& Image() const { return image_; }

    static constexpr int kMargin = 8;
    static constexpr int kLabelScale = 2;
    static constexpr int kLabelHeight = 5 * kLabelScale + 6;

private:
    int CellX(int index) const;
    int CellY(int index) const;
    void PaintCellBackdrop(int x, int y);
    void DrawFrame(int x, int y, const FrameView& frame);

    int cellWidth_, cellHeight_, columns_;
    Background background_;
    RgbaImage image_;
};
