// The demo movie: a few seconds of animation that shows the kinds of drawing the
// plug-in does, written with the SWF fixture writer.  Each part of the movie is one
// scene function in DemoMovie.cpp that defines its characters and, per frame, places
// them; a new kind of drawing is one more scene.
#pragma once

#include <cstdint>
#include <vector>

namespace demo {

inline constexpr int kWidth = 550;
inline constexpr int kHeight = 400;
inline constexpr int kFrameRate = 24;
inline constexpr int kFrames = 72;

// The bytes of an uncompressed movie; the same every time.
std::vector<uint8_t> BuildDemoMovie();

} // namespace demo
