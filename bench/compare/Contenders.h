// The rasterisers compared: ours (ZRenderer), AGG and Cairo.  Each prepares a scene once
// (paths, paints) and then draws all of it onto a canvas of the scene's size: 4 bytes a
// pixel, blue, green, red, alpha in memory, rows of width * 4 bytes.
#pragma once

#include "Scenes.h"

#include <memory>
#include <string>
#include <vector>

class Contender {
public:
    virtual ~Contender() = default;
    virtual void Draw(uint8_t* canvas) = 0;
    // The canvas as premultiplied blue, green, red, alpha, for comparing pictures.
    virtual std::vector<uint8_t> Premultiplied(const uint8_t* canvas, size_t bytes) const;
};

struct ContenderKind {
    const char* name;
    std::unique_ptr<Contender> (*make)(const Scene& scene);
};

// agg, cairo, ours: ours last.
const std::vector<ContenderKind>& Contenders();
