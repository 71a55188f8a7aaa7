// inflate: the uncompressed copy of a compressed movie, written explicitly, with the
// real file length in its header; also repairs the length field of an uncompressed one.
#include "tools/swfframes/Commands.h"
#include "tools/swfhost/HostError.h"
#include "tools/swfframes/MovieBatch.h"
#include "tools/swfhost/MovieInflater.h"

#include <cstdio>
#include <filesystem>

int RunInflate(const Options& options) {
    const std::string& in = options.inputs.front();
    return ForEachMovie({in}, [&](const std::string&) {
        std::error_code error;
        if (!std::filesystem::exists(in, error)) throw HostError(kExitMovieFailed, "no such file");
        if (std::filesystem::equivalent(in, options.output, error))
            throw HostError(kExitUsage, "the output would overwrite the input");
        MovieLength length;
        if (ReadSignature(in) == MovieSignature::kUncompressed) {
            length = ReadMovieLength(in);
            if (!length.Wrong())
                throw HostError(kExitMovieFailed, "already uncompressed (FWS); nothing to inflate");
            WriteCorrectedMovie(in, options.output);
        } else {
            length = InflateMovie(in, options.output);
        }
        if (options.quiet) return;
        if (length.Wrong())
            std::printf("wrote %s (file length corrected from %lu to %llu bytes)\n",
                        options.output.c_str(), static_cast<unsigned long>(length.declared),
                        static_cast<unsigned long long>(length.actual));
        else
            std::printf("wrote %s\n", options.output.c_str());
    });
}
