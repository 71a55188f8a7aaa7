// A path sink that writes what it is handed as text, one call per token, so that traced
// output can be compared as a whole: "F1 B M0,0 L10,0 Q5,5:0,0 E".
#pragma once

#include "shapes/PathOutputter.h"
#include "shapes/StyleTable.h"

#include <cstdio>
#include <string>
#include <vector>

class RecordingOutputter : public UT::PathOutputter {
public:
    // Styles are named by their index + 1 in these arrays.
    RecordingOutputter(const std::vector<UT::FillStyle>* fills,
                       const std::vector<UT::LineStyle>* lines)
        : fills(fills), lines(lines) {}

    void SetFill(const UT::FillStyle* f) override { Add("F%d", int(f - fills->data() + 1)); }
    void SetLine(const UT::LineStyle* l) override { Add("S%d", int(l - lines->data() + 1)); }
    void BeginPath() override { Append("B"); }
    void MoveTo(const Point3& p) override { Add("M%g,%g", p.x, p.y); }
    void LineTo(const Point3& p) override { Add("L%g,%g", p.x, p.y); }
    void QuadTo(const Point3& c, const Point3& p) override {
        Add("Q%g,%g:%g,%g", c.x, c.y, p.x, p.y);
    }
    void EndPath() override { Append("E"); }

    std::string text;

private:
    template <class... Args> void Add(const char* format, Args... args) {
        char token[96];
        std::snprintf(token, sizeof(token), format, args...);
        Append(token);
    }
    void Append(const char* token) {
        if (!text.empty()) text += ' ';
        text += token;
    }

    const std::vector<UT::FillStyle>* fills;
    const std::vector<UT::LineStyle>* lines;
};
