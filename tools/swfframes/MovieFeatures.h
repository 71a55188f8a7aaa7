// What a movie uses that the plug-in leaves out of its pictures, found by a scan of the
// movie's tags (sprites included): scripts, sounds and embedded video.  Users see it in
// `info` and as a one-line notice, so that a frame that differs from a player's comes with
// a reason.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct MovieFeatures {
    int version = 0; // the SWF version byte of the header
    bool actionScript = false;
    bool sounds = false;
    bool video = false;

    // Each feature found, as a phrase for people: "ActionScript (not run)", ...
    std::vector<std::string> Phrases() const;
    // Each feature found, as a short key for scripts: "actionscript", ...
    std::vector<std::string> Keys() const;
    // "uses A, B: frames may differ from a player", or "" when nothing is left out.
    std::string Notice() const;
};

// Scans an uncompressed movie image.  Stays inside `movie`; a damaged or truncated tag
// stream ends the scan with what was found so far.
MovieFeatures ScanMovie(const std::vector<uint8_t>& movie);
// The same for an uncompressed movie file; a file that cannot be read gives no features.
MovieFeatures ScanMovieFile(const std::string& path);
