// info: what the host sees of each movie.
#include "tools/swfframes/Commands.h"
#include "tools/swfframes/MovieBatch.h"
#include "tools/swfframes/Progress.h"

#include <cstdio>

namespace {

struct MovieFacts {
    std::string path;
    bool compressed;
    int width, height;
    double frameRate;
    long long frameCount, length;
    std::string format, streamName, streamDescription, streamRate;
    MovieFeatures features;
    MovieLength headerLength;
};

MovieFacts Gather(const PluginHost& host, const std::string& path, const Options& options) {
    OpenedMovie movie(host, path, options, false);
    const MovieStream& stream = movie.stream;
    return {path,
            movie.source.WasCompressed(),
            stream.Width(),
            stream.Height(),
            stream.FrameRate(),
            static_cast<long long>(stream.FrameCount()),
            static_cast<long long>(stream.Length()),
            stream.FileText(1),
            stream.StreamText(1),
            stream.StreamText(2),
            stream.StreamText(3),
            movie.features,
            movie.source.Length()};
}

std::string JsonList(const std::vector<std::string>& items) {
    std::string list = "[";
    for (const std::string& item : items) {
        if (list.size() > 1) list += ',';
        list += JsonString(item);
    }
    return list + "]";
}

void PrintText(const MovieFacts& facts) {
    std::printf("%s\n", facts.path.c_str());
    std::printf("  picture:     %d x %d pixels, 32-bit BGRA, straight alpha\n", facts.width,
                facts.height);
    std::printf("  frame rate:  %g frames per second\n", facts.frameRate);
    std::printf("  frames:      %lld\n", facts.frameCount);
    std::printf("  length:      %.3f s (%lld x 100 ns)\n", double(facts.length) / 1e7,
                facts.length);
    std::printf("  format:      %s, stream %s: %s, %s\n", facts.format.c_str(),
                facts.streamName.c_str(), facts.streamDescription.c_str(),
                facts.streamRate.c_str());
    std::printf("  compressed:  %s\n", facts.compressed ? "yes (inflated for the plug-in)" : "no");
    if (facts.headerLength.Wrong())
        std::printf("  file length: the header says %lu bytes, the movie has %llu (corrected)\n",
                    static_cast<unsigned long>(facts.headerLength.declared),
                    static_cast<unsigned long long>(facts.headerLength.actual));
    std::printf("  SWF version: %d\n", facts.features.version);
    const std::string notice = facts.features.Notice();
    std::printf("  not drawn:   %s\n", notice.empty() ? "nothing" : notice.c_str());
}

void PrintJson(const MovieFacts& facts, bool last) {
    std::printf("  {\"movie\":%s,\"compressed\":%s,\"width\":%d,\"height\":%d,\"frameRate\":%g,"
                "\"frameCount\":%lld,\"length100ns\":%lld,\"seconds\":%.3f,\"format\":%s,"
                "\"streamName\":%s,\"streamDescription\":%s,\"streamRate\":%s,\"version\":%d,"
                "\"notDrawn\":%s}%s\n",
                JsonString(facts.path).c_str(), facts.compressed ? "true" : "false", facts.width,
                facts.height, facts.frameRate, facts.frameCount, facts.length,
                double(facts.length) / 1e7, JsonString(facts.format).c_str(),
                JsonString(facts.streamName).c_str(), JsonString(facts.streamDescription).c_str(),
                JsonString(facts.streamRate).c_str(), facts.features.version,
                JsonList(facts.features.Keys()).c_str(), last ? "" : ",");
}

} // namespace

int RunInfo(const Options& options, const PluginHost& host) {
    const std::vector<std::string> movies = ExpandMovies(options.inputs);
    std::vector<MovieFacts> gathered;
    const int status = ForEachMovie(movies, [&](const std::string& movie) {
        gathered.push_back(Gather(host, movie, options));
        if (!options.json) PrintText(gathered.back());
    });
    if (options.json) {
        std::printf("[\n");
        for (size_t i = 0; i < gathered.size(); ++i)
            PrintJson(gathered[i], i + 1 == gathered.size());
        std::printf("]\n");
    }
    return status;
}
