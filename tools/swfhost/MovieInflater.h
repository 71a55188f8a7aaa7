// Compressed ("CWS") movies: the signature, a version byte and the uncompressed file
// length, then the rest of the file as one zlib stream.  The plug-in reads only
// uncompressed ("FWS") movies whose header states their exact length, so the host
// inflates compressed movies first and corrects a length field that is off, as some
// SWF writers leave it and as every player accepts.
#pragma once

#include <cstdint>
#include <string>

enum class MovieSignature { kUncompressed, kCompressed, kOther };

// Looks at the first three bytes; a file that cannot be read counts as kOther.
MovieSignature ReadSignature(const std::string& path);

// The file length a movie's header states, and the real one (of the uncompressed movie).
struct MovieLength {
    uint32_t declared = 0;
    uint64_t actual = 0;
    bool Wrong() const { return declared != actual; }
};

// Writes the uncompressed movie of the compressed movie `in` to `out`, streaming, so
// memory stays small whatever the movie's length; the header written states the real
// length.  Throws HostError when `in` is not a compressed movie, its data is damaged or
// truncated or inflates beyond what a length field can state (kExitMovieFailed), or
// `out` cannot be written (kExitOutput).  No partial output is left behind.
MovieLength InflateMovie(const std::string& in, const std::string& out);

// The header's length and the file's size of an uncompressed movie; zeros when the
// file cannot be read.
MovieLength ReadMovieLength(const std::string& path);

// Whether the plug-in could read the movie once its length field is corrected: a
// header and a size a length field can state.
bool LengthIsRepairable(const MovieLength& length);

// Copies the uncompressed movie `in` to `out` with its real length in the header.
// Throws HostError like InflateMovie.
void WriteCorrectedMovie(const std::string& in, const std::string& out);

// Whether the uncompressed movie at `path` is cut short: a top-level tag runs past the end
// of the file, or the tags stop without an End tag in a file shorter than its header says.
// The plug-in reads such a movie up to the cut and draws the frames after it empty.
bool MovieIsTruncated(const std::string& path);
