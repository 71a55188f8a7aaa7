// Compressed ("CWS") movies: the signature, a version byte and the uncompressed file
// length, then the rest of the file as one zlib stream.  The plug-in reads only
// uncompressed ("FWS") movies, so the host inflates them first.
#pragma once

#include <string>

enum class MovieSignature { kUncompressed, kCompressed, kOther };

// Looks at the first three bytes; a file that cannot be read counts as kOther.
MovieSignature ReadSignature(const std::string& path);

// Writes the uncompressed movie of the compressed movie `in` to `out`, streaming, so
// memory stays small whatever the movie's length.  Throws HostError when `in` is not a
// compressed movie, its data is damaged or truncated, or the inflated length differs
// from its header (kExitMovieFailed), or `out` cannot be written (kExitOutput).  No
// partial output is left behind.
void InflateMovie(const std::string& in, const std::string& out);
