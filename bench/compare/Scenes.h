// Device-space test scenes for comparing rasterisers: the same polygons, colours and
// horizontal gradients, drawn by each contender onto the same kind of canvas.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ScenePoint {
    float x, y;
};

// One filled polygon (several contours, non-zero rule) with a solid colour or, when
// gradient is set, a ramp across its box from left (stop 0) to right (stop 1).
struct ScenePolygon {
    std::vector<std::vector<ScenePoint>> contours;
    uint8_t rgba[4] = {0, 0, 0, 255};
    bool gradient = false;
    uint8_t stops[3][4] = {}; // colours at 0, 0.5 and 1, straight alpha, r g b a
    float minX = 0, minY = 0, maxX = 0, maxY = 0;
};

struct Scene {
    std::string name;
    int width = 0, height = 0;
    std::vector<ScenePolygon> polygons;
};

// The scenes in the order they are reported.
std::vector<Scene> MakeScenes();
