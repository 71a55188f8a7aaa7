#include "tools/swfframes/FrameRange.h"

#include <algorithm>
#include <charconv>

namespace {

std::optional<int64_t> ParseNumber(const std::string& text) {
    int64_t value = 0;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(text.data(), last, value);
    if (text.empty() || error != std::errc() || end != last || value < 0) return std::nullopt;
    return value;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t comma; (comma = text.find(separator, start)) != std::string::npos;
         start = comma + 1)
        parts.push_back(text.substr(start, comma - start));
    parts.push_back(text.substr(start));
    return parts;
}

} // namespace

std::optional<FrameRange::Interval> FrameRange::ParseInterval(const std::string& text,
                                                              std::string& error) {
    const size_t dash = text.find('-');
    const std::string firstText = text.substr(0, dash);
    const std::optional<int64_t> first = ParseNumber(firstText);
    if (!first) {
        error = "bad frame number '" + firstText + "' in frame list";
        return std::nullopt;
    }
    if (dash == std::string::npos) return Interval{*first, *first};
    const std::string lastText = text.substr(dash + 1);
    if (lastText.empty()) return Interval{*first, std::nullopt};
    const std::optional<int64_t> last = ParseNumber(lastText);
    if (!last) {
        error = "bad frame number '" + lastText + "' in frame list";
        return std::nullopt;
    }
    if (*last < *first) {
        error = "frame range '" + text + "' runs backwards";
        return std::nullopt;
    }
    return Interval{*first, *last};
}

std::optional<FrameRange> FrameRange::Parse(const std::string& text, std::string& error) {
    FrameRange range;
    if (text == "all") return range;
    range.all_ = false;
    for (const std::string& part : Split(text, ',')) {
        const std::optional<Interval> interval = ParseInterval(part, error);
        if (!interval) return std::nullopt;
        range.intervals_.push_back(*interval);
    }
    return range;
}

std::optional<std::vector<int64_t>> FrameRange::Resolve(int64_t frameCount,
                                                        std::string& error) const {
    std::vector<int64_t> frames;
    if (all_) {
        for (int64_t frame = 0; frame < frameCount; ++frame) frames.push_back(frame);
        return frames;
    }
    for (const Interval& interval : intervals_) {
        const int64_t last = interval.last.value_or(frameCount - 1);
        if (interval.first >= frameCount || last >= frameCount) {
            error = "frame " + std::to_string(std::max(interval.first, last)) +
                    " is out of range (the movie has frames 0-" + std::to_string(frameCount - 1) +
                    ")";
            return std::nullopt;
        }
        for (int64_t frame = interval.first; frame <= last; ++frame) frames.push_back(frame);
    }
    std::sort(frames.begin(), frames.end());
    frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
    return frames;
}

std::vector<int64_t> FrameRange::Within(int64_t frameCount) const {
    std::vector<int64_t> frames;
    if (all_) {
        for (int64_t frame = 0; frame < frameCount; ++frame) frames.push_back(frame);
        return frames;
    }
    for (const Interval& interval : intervals_) {
        const int64_t last = std::min(interval.last.value_or(frameCount - 1), frameCount - 1);
        for (int64_t frame = interval.first; frame <= last; ++frame) frames.push_back(frame);
    }
    std::sort(frames.begin(), frames.end());
    frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
    return frames;
}
