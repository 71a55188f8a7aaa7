// The exit codes of swfframes, as --help lists them; the other hosts keep them as the kind
// of a failure.
#pragma once

enum ExitCode : int {
    kExitOk = 0,
    kExitMovieFailed = 1, // a movie is missing, not a SWF, damaged, or a frame is out of range
    kExitUsage = 2,       // the command line is wrong
    kExitPlugin = 3,      // the plug-in library cannot be loaded
    kExitOutput = 4,      // an output file or directory cannot be written
    kExitEncoder = 5,     // ffmpeg is missing or failed
};
