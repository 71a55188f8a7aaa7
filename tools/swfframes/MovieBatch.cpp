#include "tools/swfframes/MovieBatch.h"

#include "tools/swfhost/HostError.h"
#include "tools/swfframes/Jobs.h"
#include "tools/swfhost/PictureFit.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <mutex>

namespace fs = std::filesystem;

namespace {

bool HasSwfExtension(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return extension == ".swf";
}

std::vector<std::string> MoviesIn(const fs::path& folder) {
    std::vector<std::string> movies;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error))
        if (entry.is_regular_file(error) && HasSwfExtension(entry.path()))
            movies.push_back(entry.path().string());
    std::sort(movies.begin(), movies.end());
    return movies;
}

// A movie's stage can ask for a picture far beyond memory; the plug-in would try to
// allocate it at the first frame.
void CheckPictureSize(const MovieStream& stream, const Options& options) {
    const int64_t pixels = int64_t(stream.Width()) * stream.Height();
    if (pixels <= options.maxPixels) return;
    throw HostError(kExitMovieFailed, "the picture would be " + std::to_string(stream.Width()) +
                                          " x " + std::to_string(stream.Height()) +
                                          " pixels, more than --max-pixels " +
                                          std::to_string(options.maxPixels) +
                                          "; make it smaller with --width, --height or --zoom");
}

MovieStream OpenStream(const PluginHost& host, const MovieSource& source, const Options& options,
                       bool drawing) {
    MovieStream stream(host, source.PluginPath());
    const Scale scale = FitPicture(stream.NaturalWidth(), stream.NaturalHeight(), options.width,
                                   options.height, {options.zoom, options.stretch});
    if (scale.zoom != 1.0 || scale.stretch != 1.0) stream.SetScale(scale.zoom, scale.stretch);
    if (drawing) CheckPictureSize(stream, options);
    return stream;
}

MovieFeatures ScanAndTell(const MovieSource& source, bool tell) {
    MovieFeatures features = ScanMovieFile(source.PluginPath());
    const std::string notice = features.Notice();
    if (tell && !notice.empty())
        std::fprintf(stderr, "swfframes: %s: %s\n", source.UserPath().c_str(), notice.c_str());
    return features;
}

} // namespace

OpenedMovie::OpenedMovie(const PluginHost& host, const std::string& path, const Options& options,
                         bool drawing)
    : source(path, !options.quiet), features(ScanAndTell(source, drawing && !options.quiet)),
      stream(OpenStream(host, source, options, drawing)) {}

namespace {

std::mutex gPluginObjects;

} // namespace

void SharedMovieCloser::operator()(OpenedMovie* movie) const {
    const std::lock_guard<std::mutex> hold(gPluginObjects);
    delete movie;
}

SharedMovie OpenSharedMovie(const PluginHost& host, const std::string& path,
                            const Options& options) {
    const std::lock_guard<std::mutex> hold(gPluginObjects);
    return SharedMovie(new OpenedMovie(host, path, options));
}

std::vector<std::string> ExpandMovies(const std::vector<std::string>& inputs) {
    std::vector<std::string> movies;
    for (const std::string& input : inputs) {
        std::error_code error;
        if (!fs::is_directory(input, error)) {
            movies.push_back(input);
            continue;
        }
        const std::vector<std::string> inside = MoviesIn(input);
        // An empty folder stays in the list so that it fails as a movie would.
        if (inside.empty()) movies.push_back(input);
        movies.insert(movies.end(), inside.begin(), inside.end());
    }
    return movies;
}

int ForEachMovie(const std::vector<std::string>& movies,
                 const std::function<void(const std::string&)>& job, int jobs) {
    std::vector<int> codes(movies.size(), kExitOk);
    RunJobs(movies.size(), jobs, [&](size_t i) {
        try {
            job(movies[i]);
        } catch (const HostError& error) {
            ReportError(movies[i], error.what());
            codes[i] = error.Code();
        } catch (const std::exception& error) {
            ReportError(movies[i], error.what());
            codes[i] = kExitMovieFailed;
        }
    });
    if (movies.empty()) return kExitMovieFailed;
    for (const int code : codes)
        if (code != kExitOk) return code;
    return kExitOk;
}

void ReportError(const std::string& subject, const std::string& message) {
    std::fprintf(stderr, "swfframes: %s: %s\n", subject.c_str(), message.c_str());
}

std::string MovieStem(const std::string& path) {
    return fs::path(path).stem().string();
}

void MakeFolder(const std::string& path) {
    std::error_code error;
    fs::create_directories(path, error);
    if (error || !fs::is_directory(path))
        throw HostError(kExitOutput, "cannot make the output folder " + path +
                                         (error ? ": " + error.message() : ""));
}
