// Runs one job per movie: expands folders into their movies, opens each movie through
// the plug-in, and goes on past a movie that fails, reporting it on stderr.
#pragma once

#include "tools/swfframes/MovieFeatures.h"
#include "tools/swfframes/MovieSource.h"
#include "tools/swfframes/Options.h"
#include "tools/swfframes/PluginHost.h"

#include <functional>
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

// Folders become the .swf files inside them, sorted; other paths, and folders without
// movies, stay as given.
std::vector<std::string> ExpandMovies(const std::vector<std::string>& inputs);

// Runs `job` for each movie.  Returns 0, or the exit code of the first failure.
int ForEachMovie(const std::vector<std::string>& movies,
                 const std::function<void(const std::string&)>& job);

// "swfframes: SUBJECT: message" on stderr.
void ReportError(const std::string& subject, const std::string& message);

// The file name of a movie without its folder and extension.
std::string MovieStem(const std::string& path);

// Makes the folder and its parents; throws HostError(kExitOutput) when it cannot.
void MakeFolder(const std::string& path);
