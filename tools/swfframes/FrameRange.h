// The frames a user asks for: single frames, ranges and lists such as "0-23,30", or
// "5-" for frame 5 to the last.  Frame numbers count from 0.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class FrameRange {
public:
    // Every frame of the movie.
    FrameRange() = default;

    // Returns nothing and sets `error` when the text is not a frame list.
    static std::optional<FrameRange> Parse(const std::string& text, std::string& error);

    bool IsAll() const { return all_; }
    // The chosen frames of a movie with `frameCount` frames, ascending, each once.
    // Sets `error` and returns nothing when a frame lies beyond the last.
    std::optional<std::vector<int64_t>> Resolve(int64_t frameCount, std::string& error) const;
    // The chosen frames that the movie has, ascending, each once; those beyond the last
    // are left out.
    std::vector<int64_t> Within(int64_t frameCount) const;

private:
    struct Interval {
        int64_t first;
        std::optional<int64_t> last; // none: to the last frame
    };
    static std::optional<Interval> ParseInterval(const std::string& text, std::string& error);

    bool all_ = true;
    std::vector<Interval> intervals_;
};
