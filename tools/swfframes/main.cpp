// swfframes: the command-line host of the plug-in.  Loads the library by path as a
// media-editing host does and turns movies into PNG frames, contact sheets and videos.
#include "tools/swfframes/Commands.h"
#include "tools/swfhost/HostError.h"
#include "tools/swfframes/MovieBatch.h"

#include <csignal>
#include <cstdio>
#include <memory>

namespace {

int Usage(const std::string& error) {
    std::fprintf(stderr, "swfframes: %s\n(swfframes --help lists commands and options)\n",
                 error.c_str());
    return kExitUsage;
}

int RunWithPlugin(const Options& options, const char* argv0) {
    const std::string libraryPath =
        options.plugin.empty() ? PluginHost::DefaultPath(argv0) : options.plugin;
    std::unique_ptr<PluginHost> host;
    try {
        host = std::make_unique<PluginHost>(libraryPath);
    } catch (const HostError& error) {
        std::fprintf(stderr, "swfframes: %s\n", error.what());
        return error.Code();
    }
    if (options.command == "info") return RunInfo(options, *host);
    if (options.command == "render") return RunRender(options, *host);
    if (options.command == "sheet") return RunSheet(options, *host);
    if (options.command == "bench") return RunBench(options, *host);
    return RunVideo(options, *host);
}

} // namespace

int main(int argc, char** argv) {
#ifndef _WIN32
    std::signal(SIGPIPE, SIG_IGN); // a dead ffmpeg shows as a write error, not a kill
#endif
    Options options;
    std::string error;
    if (argc < 2) return Usage("no command given");
    if (!ParseOptions(argc, argv, options, error)) return Usage(error);
    if (options.command == "help") {
        std::fputs(UsageText(), stdout);
        return kExitOk;
    }
    try {
        if (options.command == "inflate") return RunInflate(options);
        return RunWithPlugin(options, argv[0]);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "swfframes: %s\n", failure.what());
        return kExitMovieFailed;
    }
}
