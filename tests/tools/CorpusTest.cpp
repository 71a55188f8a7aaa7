// Real-world movies, read where they lie (SWF_CORPUS_DIR, else the shared folder beside
// the checkout):
// frame 0 of a spread of them goes through swfframes without a crash.  Skipped when
// the corpus is not there.
#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

using namespace tooltest;
namespace fs = std::filesystem;

namespace {

fs::path CorpusFolder() {
    const char* configured = std::getenv("SWF_CORPUS_DIR");
    return configured ? fs::path(configured)
                      : fs::path(__FILE__).parent_path() / "../../../shared/corpus";
}

// Every eighth movie of the corpus, in name order.
std::vector<std::string> SomeMovies() {
    std::vector<std::string> movies;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(CorpusFolder(), error))
        if (entry.path().extension() == ".swf") movies.push_back(entry.path().string());
    std::sort(movies.begin(), movies.end());
    std::vector<std::string> chosen;
    for (size_t i = 0; i < movies.size(); i += 8) chosen.push_back(movies[i]);
    return chosen;
}

} // namespace

TEST(Corpus, FrameZeroOfRealMoviesRendersWithoutACrash) {
    const std::vector<std::string> movies = SomeMovies();
    if (movies.empty()) GTEST_SKIP() << "no corpus at " << CorpusFolder();
    for (const std::string& movie : movies) {
        const std::string out = FreshFolder("corpus_out");
        const RunResult run =
            RunSwfframes({"render", movie, "-o", out, "--frames", "0", "--width", "160", "-q"});
        // A movie the plug-in cannot read is a clean failure, never a crash.
        EXPECT_TRUE(run.exitCode == 0 || run.exitCode == 1) << movie << ": " << run.err;
        if (run.exitCode == 0)
            EXPECT_FALSE(fs::is_empty(out)) << movie;
        else
            EXPECT_EQ(run.err.rfind("swfframes: ", 0), 0u) << movie << ": " << run.err;
    }
}
