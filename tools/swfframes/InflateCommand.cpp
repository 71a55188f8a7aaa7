// inflate: the uncompressed copy of a compressed movie, written explicitly.
#include "tools/swfframes/Commands.h"
#include "tools/swfframes/HostError.h"
#include "tools/swfframes/MovieBatch.h"
#include "tools/swfframes/MovieInflater.h"

#include <cstdio>
#include <filesystem>

int RunInflate(const Options& options) {
    const std::string& in = options.inputs.front();
    return ForEachMovie({in}, [&](const std::string&) {
        std::error_code error;
        if (!std::filesystem::exists(in, error)) throw HostError(kExitMovieFailed, "no such file");
        if (std::filesystem::equivalent(in, options.output, error))
            throw HostError(kExitUsage, "the output would overwrite the input");
        if (ReadSignature(in) == MovieSignature::kUncompressed)
            throw HostError(kExitMovieFailed, "already uncompressed (FWS); nothing to inflate");
        InflateMovie(in, options.output);
        if (!options.quiet) std::printf("wrote %s\n", options.output.c_str());
    });
}
