#include "tools/swfframes/Options.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>

namespace {

const char kUsage[] = R"(usage: swfframes COMMAND [options] ...

Renders Shockwave Flash movies through the plug-in library, loaded as a host loads it.

commands:
  info MOVIE... [--json]          picture size, frame rate, frame count, length and the
                                  stream texts, as the plug-in reports them; the SWF
                                  version and what in the movie the plug-in does not draw
  render MOVIE|FOLDER... -o DIR   one PNG per frame (RGBA, straight alpha); one movie
                                  writes DIR/NAME-NNNN.png, several write DIR/NAME/...
  sheet MOVIE OUT.png             a contact sheet: a grid of frames with their numbers
  video MOVIE OUT.mov|.webm|.mp4  a video through ffmpeg: ProRes 4444 and VP9 keep the
                                  alpha channel, H.264 is drawn over the background
  video MOVIE OUT.gif|.webp|.apng a looping animation through ffmpeg: GIF with a palette
                                  made for the movie and transparency, WebP and APNG
                                  with full alpha
  video MOVIE|FOLDER... -o DIR [--format mov|webm|mp4|gif|webp|apng]
  inflate IN.swf OUT.swf          writes the uncompressed copy of a compressed movie, or
                                  of a movie whose header states a wrong file length,
                                  with the real length
  bench MOVIE|FOLDER... [--json]  milliseconds per frame (median, 95th percentile) after
                                  one warm-up pass, frames per second, the memory floor
                                  of the picture (clearing and copying it) and each
                                  movie's ratio to it, peak memory; --frames beyond a
                                  movie's last are left out; --passes N times each
                                  frame (and the floor) in N passes and takes the median

options:
  --frames LIST        frames to use, from 0: 7, 0-23, 0-23,30, 10- (default: all;
                       sheet: 36 spread over the movie)
  --zoom F             scale the picture by F (the stream's own zoom)
  --stretch F          scale the width by F as well (the stream's own stretch)
  --width W, --height H
                       fit the picture to W or H pixels; with both, stretch to fit
  --max-pixels N       refuse pictures of more than N pixels (default 64000000)
  --background none|#RRGGBB
                       composite over this colour (default none: keep transparency;
                       video .mp4 defaults to #000000)
  --plugin PATH        the plug-in library (default: the one beside this program,
                       else the one it was built with)
  --jobs N             render, sheet, video: movies, or parts of one movie, read at
                       once, each through its own open file (default: processors)
  --passes N           bench: timed passes over the frames (default 1)
  --columns N          sheet: frames per row (default 6)
  --cell-width N       sheet: width of each frame in pixels (default 160)
  --png-compression fast|default|best
                       render, sheet: fast (the default) deflates at zlib's level 1 as
                       fast as frames are drawn; default and best give smaller files
                       (zlib levels 6 and 9, the filter chosen per row) more slowly
  --quality fast|small video .webm: fast (the default) is VP9's real-time encode with
                       rows in parallel; small is the slow search for smaller files
  --json               info, bench: print JSON
  --progress json      one JSON line per frame on stdout, for scripts
  --quiet, -q          no progress, notices or summary; errors only
  --help, -h           this text

Compressed (CWS) movies, and movies whose header states a wrong file length, are
read from a corrected temporary copy, with a notice.  render, sheet and video say on
stderr what in a movie the plug-in does not draw (scripts, sounds, filters, blend
modes, video).
Batch: render and video go on past a movie that fails and report it.

exit codes:
  0  success
  1  a movie failed: missing, not a SWF, damaged, or a frame out of range
  2  the command line is wrong
  3  the plug-in library cannot be loaded
  4  an output file or directory cannot be written
  5  ffmpeg is missing or failed
)";

bool ParseDouble(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && std::isfinite(value) && value > 0;
}

bool ParseInt(const std::string& text, int& value) {
    double number = 0;
    if (!ParseDouble(text, number) || number != std::floor(number) || number > 100000) return false;
    value = int(number);
    return true;
}

using ValueHandler = std::function<bool(Options&, const std::string&, std::string&)>;

bool Positive(const std::string& name, const std::string& text, double& value, std::string& error) {
    if (ParseDouble(text, value)) return true;
    error = name + " needs a positive number, not '" + text + "'";
    return false;
}

bool Count(const std::string& name, const std::string& text, int& value, std::string& error) {
    if (ParseInt(text, value)) return true;
    error = name + " needs a positive whole number, not '" + text + "'";
    return false;
}

const std::map<std::string, ValueHandler>& ValueOptions() {
    static const std::map<std::string, ValueHandler> handlers = {
        {"-o", [](Options& o, const std::string& v, std::string&) { return o.output = v, true; }},
        {"--plugin",
         [](Options& o, const std::string& v, std::string&) { return o.plugin = v, true; }},
        {"--frames",
         [](Options& o, const std::string& v, std::string& e) {
             const std::optional<FrameRange> range = FrameRange::Parse(v, e);
             if (range) o.frames = *range, o.framesGiven = true;
             return range.has_value();
         }},
        {"--zoom", [](Options& o, const std::string& v,
                      std::string& e) { return Positive("--zoom", v, o.zoom, e); }},
        {"--stretch", [](Options& o, const std::string& v,
                         std::string& e) { return Positive("--stretch", v, o.stretch, e); }},
        {"--width",
         [](Options& o, const std::string& v, std::string& e) {
             int value = 0;
             return Count("--width", v, value, e) && (o.width = value, true);
         }},
        {"--height",
         [](Options& o, const std::string& v, std::string& e) {
             int value = 0;
             return Count("--height", v, value, e) && (o.height = value, true);
         }},
        {"--background",
         [](Options& o, const std::string& v, std::string& e) {
             const std::optional<Background> background = Background::Parse(v);
             if (!background) e = "--background needs none or #RRGGBB, not '" + v + "'";
             if (background) o.background = *background, o.backgroundGiven = true;
             return background.has_value();
         }},
        {"--jobs", [](Options& o, const std::string& v,
                      std::string& e) { return Count("--jobs", v, o.jobs, e); }},
        {"--passes",
         [](Options& o, const std::string& v, std::string& e) {
             if (ParseInt(v, o.passes) && o.passes <= 1000) return true;
             e = "--passes needs a whole number from 1 to 1000, not '" + v + "'";
             return false;
         }},
        {"--columns", [](Options& o, const std::string& v,
                         std::string& e) { return Count("--columns", v, o.columns, e); }},
        {"--cell-width", [](Options& o, const std::string& v,
                            std::string& e) { return Count("--cell-width", v, o.cellWidth, e); }},
        {"--format",
         [](Options& o, const std::string& v, std::string& e) {
             static const std::set<std::string> formats = {"mov", "webm", "mp4",
                                                           "gif", "webp", "apng"};
             if (!formats.count(v)) e = "--format needs mov, webm, mp4, gif, webp or apng";
             o.videoFormat = v;
             return e.empty();
         }},
        {"--png-compression",
         [](Options& o, const std::string& v, std::string& e) {
             if (v == "fast")
                 o.pngCompression = PngCompression::kFast;
             else if (v == "default")
                 o.pngCompression = PngCompression::kDefault;
             else if (v == "best")
                 o.pngCompression = PngCompression::kBest;
             else
                 e = "--png-compression needs fast, default or best";
             return e.empty();
         }},
        {"--quality",
         [](Options& o, const std::string& v, std::string& e) {
             if (v == "fast")
                 o.videoQuality = VideoQuality::kFast;
             else if (v == "small")
                 o.videoQuality = VideoQuality::kSmall;
             else
                 e = "--quality needs fast or small";
             return e.empty();
         }},
        {"--max-pixels",
         [](Options& o, const std::string& v, std::string& e) {
             double value = 0;
             if (!Positive("--max-pixels", v, value, e)) return false;
             o.maxPixels = int64_t(std::min(value, 1e18));
             return true;
         }},
        {"--progress",
         [](Options& o, const std::string& v, std::string& e) {
             if (v == "json")
                 o.progress = ProgressMode::kJson;
             else if (v == "none")
                 o.progress = ProgressMode::kNone;
             else if (v == "bar")
                 o.progress = ProgressMode::kAuto;
             else
                 e = "--progress needs json, bar or none";
             return e.empty();
         }},
    };
    return handlers;
}

bool ParseFlag(const std::string& arg, Options& options) {
    if (arg == "--json") return options.json = true;
    if (arg == "--quiet" || arg == "-q") return options.quiet = true;
    if (arg == "--help" || arg == "-h") return !(options.command = "help").empty();
    return false;
}

// The last positional becomes the output where the command takes one that way.
bool PlaceOutput(Options& options, std::string& error) {
    const std::string& command = options.command;
    const bool takesLast = command == "sheet" || command == "inflate" ||
                           (command == "video" && options.output.empty());
    if (takesLast) {
        if (options.inputs.size() < 2) {
            error = command + " needs an input and an output";
            return false;
        }
        options.output = options.inputs.back();
        options.inputs.pop_back();
    }
    if ((command == "sheet" || command == "inflate") && options.inputs.size() != 1) {
        error = command + " takes one movie";
        return false;
    }
    return true;
}

bool CheckCommand(Options& options, std::string& error) {
    const std::string& command = options.command;
    if (command == "help") return true;
    if (command != "info" && command != "render" && command != "sheet" && command != "video" &&
        command != "inflate" && command != "bench") {
        error = command.empty() ? "no command given" : "unknown command '" + command + "'";
        return false;
    }
    if (options.inputs.empty()) {
        error = command + " needs a movie";
        return false;
    }
    if (command == "render" && options.output.empty()) {
        error = "render needs an output folder: -o DIR";
        return false;
    }
    return PlaceOutput(options, error);
}

} // namespace

bool ParseOptions(int argc, const char* const* argv, Options& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (ParseFlag(arg, options)) continue;
        const auto handler = ValueOptions().find(arg);
        if (handler != ValueOptions().end()) {
            if (i + 1 >= argc) {
                error = arg + " needs a value";
                return false;
            }
            if (!handler->second(options, argv[++i], error)) return false;
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option '" + arg + "'";
            return false;
        } else if (options.command.empty()) {
            options.command = arg == "help" ? "help" : arg;
        } else {
            options.inputs.push_back(arg);
        }
    }
    return CheckCommand(options, error);
}

const char* UsageText() {
    return kUsage;
}
