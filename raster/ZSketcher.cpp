#include "raster/ZSketcher.h"

ZSketcher::~ZSketcher() = default;

void ZSketcher::Begin() {
    newContour_ = true;
}

void ZSketcher::MoveTo(float x, float y) {
    if (newContour_) {
        startX_ = x;
        startY_ = y;
        newContour_ = false;
    }
    curX_ = x;
    curY_ = y;
}

void ZSketcher::LineTo(float x, float y) {
    curX_ = x;
    curY_ = y;
}

void ZSketcher::Close() {
    LineTo(startX_, startY_);
    newContour_ = true;
}
