// Writes the fuzz targets' seed inputs into OUT, outside the checkout:
//   OUT/movie       the demo movie (shapes, bitmaps, sprites, a button, a mask), a movie
//                   of fonts and texts, and the real movies of CORPUS inflated (the small
//                   ones);
//   OUT/meta_read   companion files written through the plug-in's render-file class;
//   OUT/meta_write  a few byte strings for the metadata-source target to grow from.
// usage: make_fuzz_seeds OUT [CORPUS]
#include "examples/DemoMovie.h"
#include "support/ButtonWriter.h"
#include "support/PlaceTags.h"
#include "support/ShapeWriter.h"
#include "support/SpriteWriter.h"
#include "support/SwfWriter.h"
#include "support/TextWriter.h"
#include "tools/PluginLibrary.h"
#include "tools/swfframes/MovieInflater.h"
#include "util/TestMetaSource.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;
using namespace swftest;
using Bytes = std::vector<uint8_t>;

namespace {

// Larger movies make slow seeds: every mutation of them redraws them.
constexpr uintmax_t kMostMovieBytes = 256 * 1024;

void Save(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

// Both font definitions and the three text definitions, in a sprite and a button.
Bytes TextMovie() {
    ShapeWriter glyph;
    glyph.Rectangle(0, -800, 600, 0);
    glyph.MoveTo(100, -100).CurveTo(300, -700, 500, -100);
    Font2Fields font2{"Seed", true, true, {glyph.Records(), glyph.Records()}, {'A', 'B'}, {}};
    font2.layout = FontLayout{800, 200, 40, {700, 650}, true, {{'A', 'B', -50}}};
    StaticTextWriter text(false), text2(true);
    text.Style({.font = 1, .height = 400, .color = Rgba{200, 0, 0}, .x = 0, .y = 400})
        .Glyphs({{0, 300}, {1, 300}});
    text2.Style({.font = 2, .height = 600, .color = Rgba{0, 0, 200, 180}, .x = 100, .y = 900})
        .Glyphs({{1, 500}, {0, 500}, {1, 500}});
    EditTextFields edit{{0, 2000, 0, 800}, 2,    300,
                        Rgba{0, 120, 0},   20,   EditLayout{2, 40, 40, 20, 10},
                        "field",           true, "AB BA"};
    TagStream spriteFrames;
    spriteFrames.Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, 3))).ShowFrame();
    spriteFrames.Tag(kRemoveObject2, RemoveObject2(1)).ShowFrame().End();
    ButtonRecordFields up{ButtonRecordFields::kUp, 4, 1, TranslatePixels(0, 40), {}};
    SwfWriter movie(120, 90, 8);
    movie.Tag(kDefineFont, DefineFont(1, {glyph.Records(), glyph.Records()}))
        .Tag(kDefineFontInfo, DefineFontInfo(1, "Seed", false, {'A', 'B'}))
        .Tag(kDefineFont2, DefineFont2(2, font2))
        .Tag(text.TagCode(), text.TagBody(3, {0, 1000, 0, 500}))
        .Tag(kDefineEditText, DefineEditText(4, edit))
        .Tag(text2.TagCode(), text2.TagBody(5, {0, 2000, 0, 1000}))
        .Tag(kDefineSprite, DefineSprite(6, spriteFrames))
        .Tag(kDefineButton2, DefineButton2(7, {up}))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, 6)))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(2, 5, 0, 20)))
        .Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(3, 7)))
        .ShowFrame()
        .Tag(kPlaceObject, PlaceObject(3, 4, TranslatePixels(10, 10)))
        .ShowFrame()
        .End();
    return movie.Finish();
}

void WriteMovieSeeds(const fs::path& folder, const fs::path& corpus) {
    Save(folder / "writer-demo.swf", demo::BuildDemoMovie());
    Save(folder / "writer-texts.swf", TextMovie());
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

// Companion files as the plug-in writes them, for a few shapes of metadata.
void WriteMetaSeeds(const fs::path& folder, const PluginLibrary& library) {
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
    for (size_t i = 0; i < sources.size(); ++i) {
        IVxRenderFileClass* renderClass = nullptr;
        IVxRenderFileClassEx3* ex3 = nullptr;
        IVxRenderFile* file = nullptr;
        if (library.Create(CLSID_VxSWFPlugin, IID_IVxRenderFileClass, &renderClass) != S_OK ||
            renderClass->QueryInterface(IID_IVxRenderFileClassEx3,
                                        reinterpret_cast<void**>(&ex3)) != S_OK ||
            ex3->CreateRenderFile(&file, reinterpret_cast<const WCHAR*>(wide.c_str()), 0, 0, 0) !=
                S_OK ||
            file->SetMetaSource(&sources[i]) != S_OK || file->WriteMeta(0) != S_OK)
            throw std::runtime_error("the plug-in cannot write companion files");
        file->Release();
        ex3->Release();
        renderClass->Release();
        fs::rename(folder / "movie.swf.vxmeta", folder / ("companion-" + std::to_string(i)));
    }
}

void WriteMetaSourceSeeds(const fs::path& folder) {
    std::mt19937 random(17);
    for (size_t size : {16u, 64u, 256u, 1024u}) {
        Bytes bytes(size);
        for (uint8_t& b : bytes) b = uint8_t(random());
        Save(folder / ("random-" + std::to_string(size)), bytes);
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
        WriteMetaSeeds(out / "meta_read", library);
        WriteMetaSourceSeeds(out / "meta_write");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_fuzz_seeds: %s\n", error.what());
        return 1;
    }
    return 0;
}
