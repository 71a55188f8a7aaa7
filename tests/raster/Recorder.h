// Test helpers: a sketcher that records every segment it is handed.
#pragma once

#include "raster/ZSketcher.h"

#include <cstdio>
#include <string>
#include <vector>

struct RecordedPoint {
    float x, y;
};

// Records the calls that reach a ZPath::Iterator, as text.
class CallLog : public ZPath::Iterator {
public:
    void Begin() override { calls.push_back("Begin"); }
    void MoveTo(float x, float y) override { Add("MoveTo", {x, y}); }
    void LineTo(float x, float y) override { Add("LineTo", {x, y}); }
    void CubicTo(float a, float b, float c, float d, float x, float y) override {
        Add("CubicTo", {a, b, c, d, x, y});
    }
    void QuadTo(float a, float b, float x, float y) override { Add("QuadTo", {a, b, x, y}); }
    void ArcTo(float, float, float, float, uint32_t, int32_t) override { calls.push_back("Arc"); }
    void Close() override { calls.push_back("Close"); }

    std::vector<std::string> calls;

private:
    void Add(const char* name, std::initializer_list<float> values) {
        std::string s = name;
        char text[32];
        for (float v : values) {
            std::snprintf(text, sizeof text, " %.1f", v);
            s.append(text);
        }
        calls.push_back(s);
    }
};

// A sketcher that keeps the start and end of every segment its LineTo consumes.
class SegmentRecorder : public ZSketcher {
public:
    void LineTo(float x, float y) override {
        from.push_back({curX_, curY_});
        to.push_back({x, y});
        ZSketcher::LineTo(x, y);
    }
    std::vector<RecordedPoint> from, to;
};
