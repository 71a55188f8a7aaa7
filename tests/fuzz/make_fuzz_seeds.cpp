// Writes the fuzz targets' seed inputs into OUT, outside the checkout:
//   OUT/movie       the demo movie, the robustness driver's sample movies, and the real
//                   movies of CORPUS inflated (the small ones);
//   OUT/meta_read   companion files written through the plug-in's render-file class;
//   OUT/meta_write  a few byte strings for the metadata-source target to grow from.
// usage: make_fuzz_seeds OUT [CORPUS]
#include "examples/DemoMovie.h"
#include "support/ComTestUtil.h"
#include "support/SampleMovies.h"
#include "tools/PluginLibrary.h"
#include "tools/swfhost/MovieInflater.h"
#include "util/TestMetaSource.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;
using namespace swftest;
using Bytes = std::vector<uint8_t>;

namespace {

// Larger movies make slow seeds: every mutation redraws them.
constexpr uintmax_t kMostMovieBytes = 256 * 1024;

void Save(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

void WriteMovieSeeds(const fs::path& folder, const fs::path& corpus) {
    Save(folder / "writer-demo.swf", demo::BuildDemoMovie());
    Save(folder / "writer-tags.swf", TagSample());
    Save(folder / "writer-texts.swf", TextSpriteSample());
    Save(folder / "writer-html.swf",
         HtmlTextSample("<p align=\"center\"><font face=\"Serif\" size=\"+2\">a</b>&amp;"
                        "&#233;<br><textformat indent=\"5\">a a</p><li>\xE9&lt"));
    Save(folder / "writer-device-html.swf",
         HtmlTextSample("<font face=\"_typewriter\"><u>a</u> <i>O</i></font>&#8226;<li>a</li>",
                        true));
    Save(folder / "writer-fills.swf", EveryFill());
    Save(folder / "writer-flash8.swf", EveryFlash8Tag(0x0100, 0x0300));
    Save(folder / "writer-morphs.swf", EveryMorph(-0x0180));
    Save(folder / "writer-effects.swf", EffectsSample());
    if (corpus.empty() || !fs::is_directory(corpus)) return;
    int number = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(corpus)) {
        if (entry.path().extension() != ".swf") continue;
        const fs::path out = folder / ("corpus-" + std::to_string(number++) + ".swf");
        try {
            if (ReadSignature(entry.path().string()) == MovieSignature::kCompressed)
                InflateMovie(entry.path().string(), out.string());
            else
                fs::copy_file(entry.path(), out, fs::copy_options::overwrite_existing);
        } catch (const std::exception&) {
            fs::remove(out); // damaged: the writer's movies and the others are enough
        }
        if (fs::exists(out) && fs::file_size(out) > kMostMovieBytes) fs::remove(out);
    }
}

// Companion files as the plug-in writes them, for a few shapes of metadata; and a few
// random byte strings for the metadata-source target to grow from.
void WriteMetaSeeds(const fs::path& folder, const fs::path& sourceFolder,
                    const PluginLibrary& library) {
    using metatest::TestMetaSource;
    std::vector<TestMetaSource> sources(4);
    metatest::FillSample(sources[0]);
    sources[1].items = {{1, metatest::U("")}, {1, metatest::U("second with the same id")}};
    sources[1].mediaPresent = false;
    metatest::FillSample(sources[2]);
    sources[2].media.push_back(metatest::MediaEntry(3, "", Bytes(40, 7)));
    sources[2].media.back()[0] = 64; // a longer header, as later versions write
    sources[2].media.back().insert(sources[2].media.back().begin() + 56, 8, 0);
    sources[3].hasFileId = false;
    const std::string movie = (folder / "movie.swf").string();
    const std::u16string wide(movie.begin(), movie.end());
    comtest::ComPtr<IVxRenderFileClass> renderClass;
    comtest::ComPtr<IVxRenderFileClassEx3> ex3;
    if (library.Create(CLSID_VxSWFPlugin, IID_IVxRenderFileClass, renderClass.out()) != S_OK ||
        renderClass->QueryInterface(IID_IVxRenderFileClassEx3, ex3.outVoid()) != S_OK)
        throw std::runtime_error("no render-file class");
    for (size_t i = 0; i < sources.size(); ++i) {
        comtest::ComPtr<IVxRenderFile> file;
        if (ex3->CreateRenderFile(file.out(), reinterpret_cast<const WCHAR*>(wide.c_str()), 0, 0,
                                  0) != S_OK ||
            file->SetMetaSource(&sources[i]) != S_OK || file->WriteMeta(0) != S_OK)
            throw std::runtime_error("the plug-in cannot write companion files");
        file.Reset();
        fs::rename(folder / "movie.swf.vxmeta", folder / ("companion-" + std::to_string(i)));
    }
    std::mt19937 random(17);
    for (size_t size : {16u, 64u, 256u, 1024u}) {
        Bytes bytes(size);
        std::generate(bytes.begin(), bytes.end(), [&] { return uint8_t(random()); });
        Save(sourceFolder / ("random-" + std::to_string(size)), bytes);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: make_fuzz_seeds OUT [CORPUS]\n");
        return 2;
    }
    try {
        const fs::path out = argv[1];
        for (const char* target : {"movie", "meta_read", "meta_write"})
            fs::create_directories(out / target);
        WriteMovieSeeds(out / "movie", argc == 3 ? fs::path(argv[2]) : fs::path());
        const PluginLibrary library(SWFPLUGIN_PATH);
        if (!library.Loaded()) throw std::runtime_error(library.Error());
        WriteMetaSeeds(out / "meta_read", out / "meta_write", library);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_fuzz_seeds: %s\n", error.what());
        return 1;
    }
    return 0;
}
