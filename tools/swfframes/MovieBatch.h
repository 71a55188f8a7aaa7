// Runs one job per movie: expands folders into their movies, opens each movie through
// the plug-in, and goes on past a movie that fails, reporting it on stderr.
#pragma once

#include "tools/swfframes/MovieFeatures.h"
#include "tools/swfhost/MovieSource.h"
#include "tools/swfframes/Options.h"
#include "tools/swfhost/PluginHost.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// A movie opened for reading: the plug-in's copy of it, what in it the plug-in does not
// draw, and its video stream with the zoom and stretch of the options applied.  With
// `drawing` (frames will be read) a picture above --max-pixels is refused and what is
// not drawn is said once on stderr, unless --quiet.
struct OpenedMovie {
    OpenedMovie(const PluginHost& host, const std::string& path, const Options& options,
                bool drawing = true);
    MovieSource source;
    MovieFeatures features;
    MovieStream stream;
};

// An opened movie for work spread over threads.  Opening and closing go one at a time:
// the plug-in's class factory and read-file class keep plain reference counts, while
// frames of different open files may be read at once.
struct SharedMovieCloser {
    void operator()(OpenedMovie* movie) const;
};
using SharedMovie = std::unique_ptr<OpenedMovie, SharedMovieCloser>;
SharedMovie OpenSharedMovie(const PluginHost& host, const std::string& path,
                            const Options& options);

// Folders become the .swf files inside them, sorted; other paths, and folders without
// movies, stay as given.
std::vector<std::string> ExpandMovies(const std::vector<std::string>& inputs);

// Runs `job` for each movie, up to `jobs` movies at once.  Returns 0, or the exit code of
// the first movie in the list that failed.
int ForEachMovie(const std::vector<std::string>& movies,
                 const std::function<void(const std::string&)>& job, int jobs = 1);

// "swfframes: SUBJECT: message" on stderr.
void ReportError(const std::string& subject, const std::string& message);

// The file name of a movie without its folder and extension.
std::string MovieStem(const std::string& path);

// Makes the folder and its parents; throws HostError(kExitOutput) when it cannot.
void MakeFolder(const std::string& path);
