// Chooses the stream's zoom and stretch so the picture comes out at a wanted size.  The
// plug-in sizes the picture as width = trunc(natural width * zoom * stretch) and
// height = trunc(natural height * zoom).
#pragma once

#include <optional>

struct Scale {
    double zoom = 1.0;
    double stretch = 1.0;
};

// Width only or height only keeps the aspect; both stretch the width when the aspect
// differs.  With neither, `given` is returned unchanged.
Scale FitPicture(int naturalWidth, int naturalHeight, std::optional<int> width,
                 std::optional<int> height, Scale given);
