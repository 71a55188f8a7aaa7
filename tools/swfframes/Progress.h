// Reports frames done: a bar on stderr when it is a terminal (frames, frames per second,
// time left), one JSON line per frame on stdout for scripts, or nothing.
#pragma once

#include "tools/swfframes/Options.h"

#include <chrono>
#include <cstdint>
#include <string>

class Progress {
public:
    Progress(ProgressMode mode, bool quiet, std::string movie, int64_t total);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // One frame is done; `output` names what was written for it, if anything.
    void FrameDone(int64_t frame, const std::string& output = {});

private:
    void DrawBar();
    void PrintJson(int64_t frame, const std::string& output) const;

    enum class Style { kNone, kBar, kJson } style_;
    std::string movie_;
    int64_t total_;
    int64_t done_ = 0;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDraw_;
};

// Text as a JSON string literal, quotes included.
std::string JsonString(const std::string& text);
