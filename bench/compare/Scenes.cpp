#include "Scenes.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;

// A small deterministic generator, so every run draws the same scenes.
struct Random {
    uint64_t state = 0x9E3779B97F4A7C15ull;
    uint32_t Next() {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<uint32_t>(state >> 33);
    }
    float Uniform(float lo, float hi) {
        return lo + (hi - lo) * static_cast<float>(Next() % 100000) / 100000.0f;
    }
    uint8_t Byte() { return static_cast<uint8_t>(Next() & 0xFF); }
};

void Finish(ScenePolygon& p) {
    p.minX = p.minY = 1e30f;
    p.maxX = p.maxY = -1e30f;
    for (const auto& c : p.contours)
        for (const ScenePoint& q : c) {
            p.minX = std::min(p.minX, q.x);
            p.minY = std::min(p.minY, q.y);
            p.maxX = std::max(p.maxX, q.x);
            p.maxY = std::max(p.maxY, q.y);
        }
}

// Ellipse with n points, clockwise on screen unless reversed (holes).
std::vector<ScenePoint> Ellipse(float cx, float cy, float rx, float ry, int n, bool reversed) {
    std::vector<ScenePoint> c;
    for (int i = 0; i < n; ++i) {
        const float a = 2 * kPi * static_cast<float>(reversed ? n - i : i) / static_cast<float>(n);
        c.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
    }
    return c;
}

std::vector<ScenePoint> Box(float x0, float y0, float x1, float y1) {
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

// A quadratic curve flattened into 24 segments, as the graphics context flattens text.
void Quad(std::vector<ScenePoint>& c, ScenePoint p1, ScenePoint e) {
    const ScenePoint p0 = c.back();
    for (int i = 1; i <= 24; ++i) {
        const float t = static_cast<float>(i) / 24.0f, u = 1 - t;
        c.push_back({u * u * p0.x + 2 * u * t * p1.x + t * t * e.x,
                     u * u * p0.y + 2 * u * t * p1.y + t * t * e.y});
    }
}

// Three letter-like outlines of em height h at (x, y) (baseline): o, l and n.
ScenePolygon Glyph(int kind, float x, float y, float h) {
    ScenePolygon g;
    const float w = 0.55f * h, stem = 0.12f * h, xh = 0.55f * h;
    if (kind == 0) {
        const float cx = x + w / 2, cy = y - xh / 2;
        std::vector<ScenePoint> outer{{cx, cy - xh / 2}};
        Quad(outer, {cx + w / 2, cy - xh / 2}, {cx + w / 2, cy});
        Quad(outer, {cx + w / 2, cy + xh / 2}, {cx, cy + xh / 2});
        Quad(outer, {cx - w / 2, cy + xh / 2}, {cx - w / 2, cy});
        Quad(outer, {cx - w / 2, cy - xh / 2}, {cx, cy - xh / 2});
        outer.pop_back();
        const float iw = w / 2 - stem, ih = xh / 2 - stem;
        std::vector<ScenePoint> inner{{cx, cy - ih}};
        Quad(inner, {cx - iw, cy - ih}, {cx - iw, cy});
        Quad(inner, {cx - iw, cy + ih}, {cx, cy + ih});
        Quad(inner, {cx + iw, cy + ih}, {cx + iw, cy});
        Quad(inner, {cx + iw, cy - ih}, {cx, cy - ih});
        inner.pop_back();
        g.contours = {outer, inner};
    } else if (kind == 1) {
        g.contours = {Box(x + 0.1f * h, y - 0.75f * h, x + 0.1f * h + stem, y)};
    } else {
        std::vector<ScenePoint> c{
            {x, y}, {x, y - xh}, {x + stem, y - xh}, {x + stem, y - xh * 0.8f}};
        Quad(c, {x + w / 2, y - xh * 1.05f}, {x + w, y - xh * 0.6f});
        c.push_back({x + w, y});
        c.push_back({x + w - stem, y});
        c.push_back({x + w - stem, y - xh * 0.6f});
        Quad(c, {x + w / 2, y - xh * 0.85f}, {x + stem, y - xh * 0.6f});
        c.push_back({x + stem, y});
        g.contours = {c};
    }
    g.rgba[3] = 255;
    return g;
}

Scene Star(int width, int height) {
    Scene s{"star", width, height, {}};
    ScenePolygon p;
    std::vector<ScenePoint> c;
    const float cx = width * 0.5f + 0.3f, cy = height * 0.5f + 0.7f;
    const float outer = height * 0.48f, inner = height * 0.3f;
    for (int i = 0; i < 400; ++i) {
        const float a = static_cast<float>(i) * kPi / 200.0f, r = (i & 1) ? inner : outer;
        c.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    p.contours = {c};
    const uint8_t colour[4] = {40, 120, 200, 255};
    std::copy(colour, colour + 4, p.rgba);
    s.polygons.push_back(p);
    return s;
}

Scene Circles() {
    Scene s{"circles", 1024, 768, {}};
    Random rnd;
    for (int i = 0; i < 300; ++i) {
        ScenePolygon p;
        const float r = rnd.Uniform(8, 70);
        p.contours = {Ellipse(rnd.Uniform(0, 1024), rnd.Uniform(0, 768), r, r, 64, false)};
        p.rgba[0] = rnd.Byte();
        p.rgba[1] = rnd.Byte();
        p.rgba[2] = rnd.Byte();
        p.rgba[3] = static_cast<uint8_t>(64 + rnd.Next() % 160);
        s.polygons.push_back(p);
    }
    return s;
}

Scene Glyphs(int width, int height) {
    Scene s{"glyphs", width, height, {}};
    const float h = height / 32.0f, advance = 0.62f * h, lead = 1.8f * h;
    for (int i = 0; i < 400; ++i) {
        const float x = 10.3f + static_cast<float>(i % 40) * advance * 1.05f;
        const float y = 2 * h + 0.4f + static_cast<float>(i / 40) * lead;
        s.polygons.push_back(Glyph(i % 3, x, y, h));
    }
    return s;
}

Scene Gradients() {
    Scene s{"gradients", 1024, 768, {}};
    Random rnd;
    for (int i = 0; i < 20; ++i) {
        ScenePolygon p;
        const float x = rnd.Uniform(0, 700), y = rnd.Uniform(0, 500);
        p.contours = {Box(x, y, x + rnd.Uniform(80, 320), y + rnd.Uniform(60, 260))};
        p.gradient = true;
        for (auto& stop : p.stops) {
            for (int c = 0; c < 3; ++c) stop[c] = rnd.Byte();
            stop[3] = 255;
        }
        s.polygons.push_back(p);
    }
    return s;
}

Scene Triangles() {
    Scene s{"triangles", 1024, 768, {}};
    Random rnd;
    for (int i = 0; i < 5000; ++i) {
        ScenePolygon p;
        const float x = rnd.Uniform(0, 1010), y = rnd.Uniform(0, 755);
        p.contours = {{{x, y},
                       {x + rnd.Uniform(3, 12), y + rnd.Uniform(0, 4)},
                       {x + rnd.Uniform(0, 6), y + rnd.Uniform(3, 12)}}};
        p.rgba[0] = rnd.Byte();
        p.rgba[1] = rnd.Byte();
        p.rgba[2] = rnd.Byte();
        p.rgba[3] = static_cast<uint8_t>(96 + rnd.Next() % 128);
        s.polygons.push_back(p);
    }
    return s;
}

} // namespace

std::vector<Scene> MakeScenes() {
    std::vector<Scene> scenes{Star(1024, 768), Circles(),        Glyphs(1024, 768), Gradients(),
                              Triangles(),     Star(2200, 1600), Glyphs(2200, 1600)};
    scenes[5].name = "star-2200";
    scenes[6].name = "glyphs-2200";
    for (Scene& s : scenes)
        for (ScenePolygon& p : s.polygons) Finish(p);
    return scenes;
}
