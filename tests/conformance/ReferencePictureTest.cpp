// Real-world movies against pictures other players drew of them.  Each reference picture
// of the corpus has a row in reference-pictures.tsv (frame, stage offset and scale, and
// the expected verdict: "match", or "design"/"defect" with a reason).  A verdict that stops
// holding either way fails, and what the plug-in drew is written beside the build.
// SWF_CONFORMANCE_REPORT=FILE also writes the Markdown summary kept in docs/.
#include "host/HostFixture.h"
#include "tools/swfhost/Background.h"
#include "tools/swfhost/FrameView.h"
#include "tools/swfhost/HostError.h"
#include "tools/swfhost/MovieInflater.h"
#include "tools/swfframes/PngWriter.h"
#include "tools/swfframes/RgbaImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A pixel differs when one of its channels is further off than this; a picture matches
// when at most this share of its pixels differs.  Anti-aliasing, gradient dithering and
// JPEG decoders differ between players by less; a misplaced or missing fill by far more.
constexpr int kChannelTolerance = 48;
constexpr double kMaxDifferingShare = 0.01;
// A picture also has to show what the reference shows: of the reference's content pixels
// (those off the stage colour), fewer than this share may lack a drawn pixel within the
// tolerance in their 3 x 3 neighbourhood.  So a frame that misses small text or a thin
// shape does not pass on a mostly empty stage.
constexpr double kMaxMissingShare = 0.05;

struct Reference {
    std::string picture, movie;
    int64_t frame = 0;
    int offsetX = 0, offsetY = 0, scale = 1;
    std::string verdict, reason;
};

std::vector<Reference> ReadTable() {
    std::ifstream in(fs::path(SWF_TESTS_DIR) / "conformance/reference-pictures.tsv");
    std::vector<Reference> table;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> f(1);
        for (char c : line) c == '\t' ? void(f.emplace_back()) : f.back().push_back(c);
        f.resize(8);
        table.push_back({f[0], f[1], std::stoll(f[2]), std::stoi(f[3]), std::stoi(f[4]),
                         std::stoi(f[5]), f[6], f[7]});
    }
    return table;
}

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The colour the player paints behind the stage: the first SetBackgroundColor tag of an
// uncompressed movie before its first frame, white when there is none.
Background StageColour(const std::vector<uint8_t>& movie) {
    const auto byteAt = [&](size_t at) -> size_t { return at < movie.size() ? movie[at] : 0; };
    size_t at = movie.size() < 9 ? movie.size() : 8 + (5 + 4 * (movie[8] >> 3) + 7) / 8 + 4;
    while (at + 2 <= movie.size()) {
        const size_t header = byteAt(at) | byteAt(at + 1) << 8, code = header >> 6;
        size_t length = header & 0x3F;
        at += 2;
        if (length == 0x3F)
            length = byteAt(at) | byteAt(at + 1) << 8 | byteAt(at + 2) << 16 | byteAt(at + 3) << 24,
            at += 4;
        if (code == 9 && length >= 3 && at + 3 <= movie.size())
            return Background::Color(movie[at], movie[at + 1], movie[at + 2]);
        if (code == 0 || code == 1) break; // end, or the first frame shown
        at += length;
    }
    return Background::Color(255, 255, 255);
}

// Draws the frame through the loaded plug-in over the movie's stage colour; sets
// `problem` when nothing can be drawn.
RgbaImage Render(const fs::path& file, int64_t frame, Background& stage, std::string& problem) {
    fs::path movie = file;
    if (ReadSignature(file.string()) == MovieSignature::kCompressed) {
        // In the build tree: other checkouts' runs share the system's temporary folder.
        movie = fs::path(CONFORMANCE_OUTPUT_DIR) / "inflated.swf";
        fs::create_directories(movie.parent_path());
        try {
            InflateMovie(file.string(), movie.string());
        } catch (const HostError& e) {
            problem = std::string("cannot inflate: ") + e.what();
            return {};
        }
    }
    stage = StageColour(ReadBytes(movie));
    const std::string path = movie.string();
    hosttest::OpenMovie open(std::u16string(path.begin(), path.end()));
    if (!open.video) return problem = "the plug-in does not open it", RgbaImage{};
    const BITMAPINFOHEADER format = open.Format();
    const std::vector<uint8_t> bgra = open.Frame(frame);
    if (bgra.empty()) return problem = "no such frame", RgbaImage{};
    const int width = int(format.biWidth), height = int(format.biHeight);
    return RgbaImage::FromFrame({bgra.data(), std::ptrdiff_t(width) * 4, width, height}, stage);
}

bool Near(const uint8_t* a, const uint8_t* b) {
    for (int c = 0; c < 3; ++c)
        if (std::abs(int(a[c]) - int(b[c])) > kChannelTolerance) return false;
    return true;
}

// The share of the stage's pixels that differ from the reference, the share of the
// reference's content that the drawn frame misses (`missing`), and what was drawn.
double Compare(const Reference& ref, const fs::path& corpus, RgbaImage& actual,
               std::string& problem, double& missing) {
    missing = 1.0;
    Background stage;
    actual = Render(corpus / ref.movie, ref.frame, stage, problem);
    if (!problem.empty() || actual.pixels.empty()) return 1.0;
    RgbaImage expected = ReadPng((corpus / ref.picture).string());
    // A reference that keeps alpha was seen over the stage colour.
    for (size_t i = 0; i < expected.pixels.size(); i += 4)
        std::swap(expected.pixels[i], expected.pixels[i + 2]);
    expected = RgbaImage::FromFrame({expected.pixels.data(), std::ptrdiff_t(expected.width) * 4,
                                     expected.width, expected.height},
                                    stage);
    size_t differing = 0;
    for (int y = 0; y < actual.height; ++y)
        for (int x = 0; x < actual.width; ++x) {
            const int rx = ref.offsetX + x * ref.scale, ry = ref.offsetY + y * ref.scale;
            const bool outside = rx >= expected.width || ry >= expected.height;
            const uint8_t *a = actual.Row(y) + x * 4, *e = outside ? a : expected.Row(ry) + rx * 4;
            bool differs = outside;
            for (int c = 0; c < 3 && !differs; ++c)
                differs = std::abs(int(a[c]) - int(e[c])) > kChannelTolerance;
            differing += differs;
        }
    const uint8_t stageRgb[3] = {stage.red, stage.green, stage.blue};
    size_t content = 0, missed = 0;
    for (int y = 0; y < actual.height; ++y)
        for (int x = 0; x < actual.width; ++x) {
            const int rx = ref.offsetX + x * ref.scale, ry = ref.offsetY + y * ref.scale;
            if (rx >= expected.width || ry >= expected.height) continue;
            const uint8_t* e = expected.Row(ry) + rx * 4;
            if (Near(e, stageRgb)) continue;
            ++content;
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy)
                for (int dx = -1; dx <= 1 && !found; ++dx) {
                    const int ax = x + dx, ay = y + dy;
                    found = ax >= 0 && ay >= 0 && ax < actual.width && ay < actual.height &&
                            Near(actual.Row(ay) + ax * 4, e);
                }
            missed += !found;
        }
    missing = content ? double(missed) / double(content) : 0.0;
    return double(differing) / double(size_t(actual.width) * actual.height);
}

std::string Verdict(const std::string& verdict) {
    return verdict == "match" ? "matches" : "differs by " + verdict;
}

void WriteReport(const std::string& path, const std::vector<Reference>& table,
                 const std::vector<std::string>& shares) {
    std::map<std::string, int> totals;
    std::map<std::string, std::map<std::string, int>> reasons;
    for (const Reference& ref : table) ++totals[ref.verdict], ++reasons[ref.verdict][ref.reason];
    std::ofstream out(path);
    out << "# Conformance: real movies against reference pictures\n\nGenerated by `make "
           "conformance` from `tests/conformance/reference-pictures.tsv`; do not edit by hand.\n\n"
        << "Each reference picture of the shared corpus (Flash Player screenshots, and some "
           "pictures of other players) is compared with the same frame drawn by the plug-in, "
           "composited over the movie's background colour. A pixel differs when a channel is "
           "more than "
        << kChannelTolerance << " off; a picture matches when at most " << kMaxDifferingShare * 100
        << "% of its pixels differ and it misses less than " << kMaxMissingShare * 100
        << "% of the reference's content: the pixels off the stage colour that have no drawn "
           "pixel within the same tolerance in their 3 x 3 neighbourhood.\n\n| verdict | "
           "pictures |\n|---|---|\n";
    for (const char* verdict : {"match", "design", "defect"})
        out << "| " << Verdict(verdict) << " | " << totals[verdict] << " |\n";
    out << "| total | " << table.size() << " |\n";
    for (const char* verdict : {"design", "defect"}) {
        out << "\n## Why pictures differ by " << verdict
            << "\n\n| reason | pictures |\n|---|---|\n";
        for (const auto& [reason, count] : reasons[verdict])
            out << "| " << reason << " | " << count << " |\n";
    }
    out << "\n## Every picture\n\n| reference | frame | differing pixels (content missing) | "
           "verdict | reason |\n"
        << "|---|---|---|---|---|\n";
    for (size_t i = 0; i < table.size(); ++i)
        out << "| " << table[i].picture << " | " << table[i].frame << " | " << shares[i] << " | "
            << Verdict(table[i].verdict) << " | " << table[i].reason << " |\n";
}

TEST(ReferencePictures, EveryVerdictInTheTableHolds) {
    const char* corpusDir = std::getenv("SWF_CORPUS_DIR");
    const fs::path corpus = corpusDir ? corpusDir : fs::path(SWF_TESTS_DIR) / "../../shared/corpus";
    if (!fs::exists(corpus / "manifest.json")) GTEST_SKIP() << "no corpus at " << corpus;
    const std::vector<Reference> table = ReadTable();

    // Every reference picture the corpus lists has its row.
    std::set<std::string> listed;
    for (const Reference& ref : table) listed.insert(ref.picture);
    // The main manifest and the filter and blend-mode movies' own, whose paths are relative
    // to the corpus as well.
    for (const char* name : {"manifest.json", "ruffle-effects/manifest.json"}) {
        const std::vector<uint8_t> manifestBytes = ReadBytes(corpus / name);
        const std::string manifest(manifestBytes.begin(), manifestBytes.end());
        const std::regex picture("\"png\": \"([^\"]+)\"");
        for (std::sregex_iterator it(manifest.begin(), manifest.end(), picture), end; it != end;
             ++it)
            EXPECT_TRUE(listed.count((*it)[1].str()))
                << (*it)[1].str() << " has no row in the table";
    }

    std::vector<std::string> shares;
    for (const Reference& ref : table) {
        SCOPED_TRACE(ref.picture);
        ASSERT_TRUE(ref.verdict == "match" || ref.verdict == "design" || ref.verdict == "defect");
        RgbaImage actual;
        std::string problem;
        double missing = 1.0;
        const double differing = Compare(ref, corpus, actual, problem, missing);
        char share[64];
        std::snprintf(share, sizeof share, "%.2f%% (%.2f%% missing)", differing * 100,
                      missing * 100);
        shares.push_back(problem.empty() ? share : problem);
        const bool matches =
            problem.empty() && differing <= kMaxDifferingShare && missing < kMaxMissingShare;
        EXPECT_EQ(matches, ref.verdict == "match")
            << shares.back() << (problem.empty() ? " of pixels differ" : "")
            << "; the table says it " << Verdict(ref.verdict)
            << (ref.reason.empty() ? "" : " (" + ref.reason + ")");
        if (matches == (ref.verdict == "match") || actual.pixels.empty()) continue;
        std::string name = ref.picture;
        std::replace(name.begin(), name.end(), '/', '_');
        fs::create_directories(CONFORMANCE_OUTPUT_DIR);
        WritePng((fs::path(CONFORMANCE_OUTPUT_DIR) / name).string(), actual);
    }
    if (const char* report = std::getenv("SWF_CONFORMANCE_REPORT"))
        WriteReport(report, table, shares);
}

} // namespace
