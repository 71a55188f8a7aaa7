// Temporary copies of movies: the inflated or corrected copy the plug-in reads, and a
// movie received as a stream.
#pragma once

#include <string>

// A new empty file "STEM-XXXXXX.swf" in the temporary directory, made so that no other
// process gets the name.  Throws HostError(kExitOutput) when none can be made.
std::string MakeTemporaryFile(const std::string& stem);
