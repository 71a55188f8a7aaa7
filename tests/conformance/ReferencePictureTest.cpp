// Real-world movies next to pictures that Flash Player (or another player) drew of them.
// Each reference picture of the shared corpus has a row in reference-pictures.tsv with
// the frame it shows, where the stage lies in it, and the verdict we expect: "match"
// (within the tolerance below), or "design"/"defect" with the reason it differs.  The
// test fails when a verdict stops holding either way, so the table stays true; for each
// such picture it writes expected | actual | difference beside the build.
//
// SWF_CONFORMANCE_REPORT=FILE also writes the Markdown summary kept in docs/.
#include "host/HostFixture.h"
#include "tools/swfframes/Background.h"
#include "tools/swfframes/FrameView.h"
#include "tools/swfframes/HostError.h"
#include "tools/swfframes/MovieInflater.h"
#include "tools/swfframes/PngWriter.h"
#include "tools/swfframes/RgbaImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A pixel differs when one of its channels is further off than this; a picture matches
// when at most this share of its pixels differs.  Anti-aliasing, gradient dithering and
// JPEG decoders differ between players by less; a misplaced or missing fill by far more.
constexpr int kChannelTolerance = 48;
constexpr double kMaxDifferingShare = 0.01;

struct Reference {
    std::string picture, movie;
    int64_t frame = 0;
    int offsetX = 0, offsetY = 0, scale = 1;
    std::string verdict, reason;
};

struct Outcome {
    double differing = 1.0; // share of the stage's pixels that differ
    std::string problem;    // why nothing could be compared, if so
    RgbaImage expected, actual;
};

fs::path CorpusDirectory() {
    if (const char* dir = std::getenv("SWF_CORPUS_DIR")) return dir;
    return fs::path(__FILE__).parent_path() / "../../../shared/corpus";
}

std::vector<Reference> ReadTable() {
    std::ifstream in(fs::path(__FILE__).parent_path() / "reference-pictures.tsv");
    std::vector<Reference> table;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> f;
        std::stringstream fields(line);
        for (std::string field; std::getline(fields, field, '\t');) f.push_back(field);
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
// uncompressed movie, white when there is none.
Background StageColour(const std::vector<uint8_t>& movie) {
    if (movie.size() < 9) return Background::Color(255, 255, 255);
    const size_t rectBits = 5 + 4 * (movie[8] >> 3);
    size_t at = 8 + (rectBits + 7) / 8 + 4;
    while (at + 2 <= movie.size()) {
        const unsigned header = movie[at] | movie[at + 1] << 8;
        size_t length = header & 0x3F;
        at += 2;
        if (length == 0x3F) {
            if (at + 4 > movie.size()) break;
            length =
                movie[at] | movie[at + 1] << 8 | movie[at + 2] << 16 | size_t(movie[at + 3]) << 24;
            at += 4;
        }
        const unsigned code = header >> 6;
        if (code == 9 && length >= 3 && at + 3 <= movie.size())
            return Background::Color(movie[at], movie[at + 1], movie[at + 2]);
        if (code == 0 || code == 1) break; // end, or the first frame shown
        at += length;
    }
    return Background::Color(255, 255, 255);
}

RgbaImage Flatten(const RgbaImage& picture, const Background& colour) {
    std::vector<uint8_t> bgra(picture.pixels.size());
    for (size_t i = 0; i < bgra.size(); i += 4) {
        bgra[i] = picture.pixels[i + 2];
        bgra[i + 1] = picture.pixels[i + 1];
        bgra[i + 2] = picture.pixels[i];
        bgra[i + 3] = picture.pixels[i + 3];
    }
    const FrameView view{bgra.data(), std::ptrdiff_t(picture.width) * 4, picture.width,
                         picture.height};
    return RgbaImage::FromFrame(view, colour);
}

// Draws the frame through the loaded plug-in; `stage` gets the movie's stage colour.
RgbaImage Render(const fs::path& file, int64_t frame, Background& stage, std::string& problem) {
    fs::path movie = file;
    if (ReadSignature(file.string()) == MovieSignature::kCompressed) {
        movie = fs::path(testing::TempDir()) / "conformance.swf";
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
    if (!open.video) {
        problem = "the plug-in does not open it";
        return {};
    }
    const BITMAPINFOHEADER format = open.Format();
    void* pixels = nullptr;
    int32_t stride = 0;
    if (open.video->ReadFrame(frame, &pixels, &stride, nullptr, nullptr, nullptr, 0, 0) != S_OK) {
        problem = "no such frame";
        return {};
    }
    const FrameView view =
        FrameView::FromLent(pixels, stride, int(format.biWidth), int(format.biHeight));
    RgbaImage image = RgbaImage::FromFrame(view, stage);
    open.video->EndRead(0);
    return image;
}

// The reference pixel under stage pixel (x, y), or null outside the reference.
const uint8_t* ReferencePixel(const Reference& ref, const RgbaImage& expected, int x, int y) {
    const int rx = ref.offsetX + x * ref.scale, ry = ref.offsetY + y * ref.scale;
    if (rx >= expected.width || ry >= expected.height) return nullptr;
    return expected.Row(ry) + rx * 4;
}

bool Differs(const uint8_t* actual, const uint8_t* expected) {
    if (!expected) return true;
    for (int c = 0; c < 3; ++c)
        if (std::abs(int(actual[c]) - int(expected[c])) > kChannelTolerance) return true;
    return false;
}

Outcome Compare(const Reference& ref, const fs::path& corpus) {
    Outcome out;
    try {
        out.expected = ReadPng((corpus / ref.picture).string());
    } catch (const HostError& e) {
        out.problem = std::string("unreadable reference: ") + e.what();
        return out;
    }
    Background stage;
    out.actual = Render(corpus / ref.movie, ref.frame, stage, out.problem);
    if (!out.problem.empty() || out.actual.pixels.empty()) return out;
    // A reference that keeps alpha was seen over the stage colour.
    out.expected = Flatten(out.expected, stage);
    size_t differing = 0;
    for (int y = 0; y < out.actual.height; ++y)
        for (int x = 0; x < out.actual.width; ++x)
            differing +=
                Differs(out.actual.Row(y) + x * 4, ReferencePixel(ref, out.expected, x, y));
    out.differing = double(differing) / double(size_t(out.actual.width) * out.actual.height);
    return out;
}

// expected | actual | difference (differing pixels red over a faint copy of the expected).
void WriteComparison(const Reference& ref, const Outcome& out) {
    const int w = out.actual.width, h = out.actual.height;
    if (w == 0 || h == 0) return;
    RgbaImage sheet(w * 3, h);
    static const uint8_t kOutside[4] = {0, 0, 0, 255};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint8_t* e = ReferencePixel(ref, out.expected, x, y);
            const uint8_t* a = out.actual.Row(y) + x * 4;
            uint8_t* left = sheet.Row(y) + x * 4;
            std::copy(e ? e : kOutside, (e ? e : kOutside) + 4, left);
            std::copy(a, a + 4, left + w * 4);
            uint8_t* diff = left + 2 * w * 4;
            const bool differs = Differs(a, e);
            for (int c = 0; c < 3; ++c)
                diff[c] = differs ? (c == 0 ? 255 : 0) : uint8_t(192 + left[c] / 4);
            diff[3] = 255;
        }
    }
    const fs::path dir = CONFORMANCE_OUTPUT_DIR;
    fs::create_directories(dir);
    std::string name = ref.picture;
    std::replace(name.begin(), name.end(), '/', '_');
    WritePng((dir / name).string(), sheet);
}

const char* Verdict(const Reference& ref) {
    return ref.verdict == "match"    ? "matches"
           : ref.verdict == "design" ? "differs by design"
                                     : "differs by defect";
}

void WriteReport(const std::string& path, const std::vector<Reference>& table,
                 const std::vector<Outcome>& outcomes) {
    std::map<std::string, int> totals;
    std::map<std::string, std::map<std::string, int>> reasons;
    for (const Reference& ref : table) {
        ++totals[ref.verdict];
        if (ref.verdict != "match") ++reasons[ref.verdict][ref.reason];
    }
    std::ofstream out(path);
    out << "# Conformance: real movies against reference pictures\n\n"
        << "Generated by `make conformance` from `tests/conformance/reference-pictures.tsv`; "
           "do not edit by hand.\n\n"
        << "Each reference picture of the shared corpus (Flash Player screenshots, and some "
           "pictures of other players) is compared with the same frame drawn by the "
           "plug-in, composited over the movie's background colour. A pixel differs when a "
           "channel is more than "
        << kChannelTolerance << " off; a picture matches when at most " << kMaxDifferingShare * 100
        << "% of its pixels differ.\n\n"
        << "| verdict | pictures |\n|---|---|\n"
        << "| matches | " << totals["match"] << " |\n"
        << "| differs by design | " << totals["design"] << " |\n"
        << "| differs by defect | " << totals["defect"] << " |\n"
        << "| total | " << table.size() << " |\n";
    for (const char* kind : {"design", "defect"}) {
        out << "\n## Why pictures differ "
            << (kind == std::string("design") ? "by design" : "by defect")
            << "\n\n| reason | pictures |\n|---|---|\n";
        for (const auto& [reason, count] : reasons[kind])
            out << "| " << reason << " | " << count << " |\n";
    }
    out << "\n## Every picture\n\n| reference | frame | differing pixels | verdict | reason |\n"
        << "|---|---|---|---|---|\n";
    for (size_t i = 0; i < table.size(); ++i) {
        char share[32];
        std::snprintf(share, sizeof share, "%.2f%%", outcomes[i].differing * 100);
        out << "| " << table[i].picture << " | " << table[i].frame << " | "
            << (outcomes[i].problem.empty() ? share : outcomes[i].problem) << " | "
            << Verdict(table[i]) << " | " << table[i].reason << " |\n";
    }
}

TEST(ReferencePictures, EveryVerdictInTheTableHolds) {
    const fs::path corpus = CorpusDirectory();
    if (!fs::exists(corpus / "manifest.json")) GTEST_SKIP() << "no corpus at " << corpus;
    const std::vector<Reference> table = ReadTable();

    // Every reference picture the corpus lists has its row.
    std::set<std::string> listed;
    for (const Reference& ref : table) listed.insert(ref.picture);
    const std::vector<uint8_t> manifestBytes = ReadBytes(corpus / "manifest.json");
    const std::string manifest(manifestBytes.begin(), manifestBytes.end());
    const std::regex picture("\"png\": \"([^\"]+)\"");
    for (std::sregex_iterator it(manifest.begin(), manifest.end(), picture), end; it != end; ++it)
        EXPECT_TRUE(listed.count((*it)[1].str())) << (*it)[1].str() << " has no row in the table";

    std::vector<Outcome> outcomes;
    for (const Reference& ref : table) {
        SCOPED_TRACE(ref.picture);
        ASSERT_TRUE(ref.verdict == "match" || ref.verdict == "design" || ref.verdict == "defect");
        Outcome out = Compare(ref, corpus);
        const bool matches = out.problem.empty() && out.differing <= kMaxDifferingShare;
        EXPECT_EQ(matches, ref.verdict == "match")
            << (out.problem.empty() ? std::to_string(out.differing * 100) + "% of pixels differ"
                                    : out.problem)
            << "; the table says it " << Verdict(ref)
            << (ref.reason.empty() ? "" : " (" + ref.reason + ")");
        if (matches != (ref.verdict == "match")) WriteComparison(ref, out);
        out.expected = out.actual = {};
        outcomes.push_back(std::move(out));
    }
    if (const char* report = std::getenv("SWF_CONFORMANCE_REPORT"))
        WriteReport(report, table, outcomes);
}

} // namespace
