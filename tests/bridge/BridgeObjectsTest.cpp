// The movie object, render context and raster through their private interfaces: creation,
// interface lookup and counts, the answers to bad calls, and a movie drawn frame by frame
// the way the video stream draws it.
#include "bridge/VxSWFPrivate.h"
#include "include/VxSWFPlugin.h"
#include "support/ComTestUtil.h"
#include "support/PlaceTags.h"
#include "support/ShapeWriter.h"
#include "support/SwfWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>

using comtest::ComPtr;
using namespace swftest;

namespace {

template <class T> ComPtr<T> Create(REFIID iid) {
    ComPtr<T> object;
    EXPECT_EQ(CreateSWFObject(nullptr, iid, object.outVoid()), S_OK);
    return object;
}

// An 8 x 6 movie at 12.5 frames per second: an orange 4 x 2 bar at (2, 2), then moved by
// (2, 2).
std::string WriteMovie() {
    SwfWriter movie(8, 6, 12.5);
    ShapeWriter bar(3);
    bar.FillStyles({FillStyleRecord::Solid({255, 128, 0, 255})})
        .Change(StyleChange().Fill1(1))
        .Rectangle(40, 40, 120, 80);
    bar.AddTo(movie, 1, {40, 120, 40, 80});
    movie.Tag(kPlaceObject2, PlaceObject2(PlaceCharacter(1, 1))).ShowFrame();
    movie.Tag(kPlaceObject2, PlaceObject2({.move = true, .matrix = TranslatePixels(2, 2)}))
        .ShowFrame()
        .End();
    const std::vector<uint8_t> bytes = movie.Finish();
    const std::string path = testing::TempDir() + "bridge-objects.swf";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

// The raster's rows as text: '#' opaque orange, '.' transparent black, '?' anything else.
std::string Picture(IVxSWFRaster* raster) {
    std::string text;
    for (int32_t y = 0; y < 6; ++y) {
        void* row = nullptr;
        EXPECT_EQ(raster->GetRowAddress(y, &row), S_OK);
        for (int32_t x = 0; x < 8; ++x) {
            uint32_t bgra;
            std::memcpy(&bgra, static_cast<uint8_t*>(row) + 4 * x, 4);
            text += bgra == 0xFFFF8000u ? '#' : bgra == 0 ? '.' : '?';
        }
        text += '|';
    }
    return text;
}

} // namespace

TEST(BridgeObjects, CreationInterfacesAndCounts) {
    const IID* const ids[] = {&IID_IVxSWFFlashScript, &IID_IVxSWFRenderContext, &IID_IVxSWFRaster};
    for (const IID* id : ids) {
        void* made = nullptr;
        ASSERT_EQ(CreateSWFObject(nullptr, *id, &made), S_OK);
        auto* object = static_cast<IUnknown*>(made); // each interface starts with IUnknown
        for (const IID* other : ids) {
            void* found = &made;
            EXPECT_EQ(object->QueryInterface(*other, &found), other == id ? S_OK : E_NOINTERFACE);
            EXPECT_EQ(found, other == id ? made : nullptr);
        }
        void* unknown = nullptr;
        EXPECT_EQ(object->QueryInterface(IID_IUnknown, &unknown), S_OK);
        EXPECT_EQ(unknown, made);
        EXPECT_EQ(object->QueryInterface(*id, nullptr), E_POINTER);
        // Born with one reference, two more from the lookups.
        EXPECT_EQ(object->AddRef(), 4u);
        for (ULONG left : {3u, 2u, 1u, 0u}) EXPECT_EQ(object->Release(), left);
    }
    void* object = &object;
    IUnknown* outer = reinterpret_cast<IUnknown*>(&object);
    EXPECT_EQ(CreateSWFObject(outer, IID_IVxSWFRaster, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    object = &object;
    EXPECT_EQ(CreateSWFObject(nullptr, IID_IUnknown, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(CreateSWFObject(nullptr, IID_IVxSWFRaster, nullptr), E_POINTER);
}

TEST(BridgeObjects, BadCallsAndAMovieDrawnFrameByFrame) {
    ComPtr<IVxSWFFlashScript> movie = Create<IVxSWFFlashScript>(IID_IVxSWFFlashScript);
    ComPtr<IVxSWFRenderContext> context = Create<IVxSWFRenderContext>(IID_IVxSWFRenderContext);
    ComPtr<IVxSWFRaster> raster = Create<IVxSWFRaster>(IID_IVxSWFRaster);
    ComPtr<IVxSWFRaster> empty = Create<IVxSWFRaster>(IID_IVxSWFRaster);
    ASSERT_TRUE(movie && context && raster && empty);
    int32_t count = -1, rate = -1, value = -1;
    float bounds[3] = {-1, -1, -1};
    void* address = nullptr;
    const std::string missing = testing::TempDir() + "no-such-movie.swf";
    // Each call in order, with its answer; the values it gives are checked below.
    const HRESULT answers[][2] = {
        {empty->GetWidth(&value), E_FAIL},
        {empty->GetHeight(&value), E_FAIL},
        {empty->GetPitch(&value), E_FAIL},
        {empty->GetRowAddress(0, &address), E_FAIL},
        {empty->GetWidth(nullptr), E_INVALIDARG},
        {empty->GetRowAddress(0, nullptr), E_INVALIDARG},
        {empty->Create(0, 6, 4, 1), E_INVALIDARG},
        {empty->Create(8, -1, 4, 1), E_INVALIDARG},
        {context->SetRaster(nullptr), E_INVALIDARG},
        {context->SetRaster(empty.get()), E_FAIL},
        {context->Clear(3), E_INVALIDARG},
        {context->Finish(), S_OK},
        {movie->GetFrameCount(&count), S_OK}, // nothing loaded: no frames
        {movie->GotoFrame(0), S_FALSE},
        {movie->Load(nullptr), E_INVALIDARG},
        {movie->Render(nullptr), E_INVALIDARG},
        {movie->GetFrameCount(nullptr), E_INVALIDARG},
        {movie->GetFrameRate(nullptr), E_INVALIDARG},
        {movie->GetBounds(nullptr), E_INVALIDARG},
        {movie->Load(missing.c_str()), S_OK}, // a missing file loads with no frames
        {movie->GetFrameCount(&value), S_OK},
    };
    for (size_t i = 0; i < std::size(answers); ++i)
        EXPECT_EQ(answers[i][0], answers[i][1]) << "call " << i;
    EXPECT_EQ(std::tuple(count, value, address), std::tuple(0, 0, nullptr));

    // The movie: two frames, 12 whole frames per second, 8 x 6 pixels.
    ASSERT_EQ(movie->Load(WriteMovie().c_str()), S_OK);
    EXPECT_EQ(movie->GetFrameCount(&count), S_OK);
    EXPECT_EQ(movie->GetFrameRate(&rate), S_OK);
    EXPECT_EQ(movie->GetBounds(bounds), S_OK);
    EXPECT_EQ(std::tuple(count, rate, bounds[0], bounds[1], bounds[2]),
              std::tuple(2, 12, 8.0f, 6.0f, 0.0f));
    EXPECT_EQ(movie->GotoFrame(2), S_FALSE);

    // The raster keeps its buffer while its size stays, and makes a new one for a new size.
    ASSERT_EQ(raster->Create(8, 5, 4, 1), S_OK);
    ASSERT_EQ(raster->Create(8, 6, 4, 1), S_OK);
    EXPECT_EQ(raster->GetHeight(&value), S_OK);
    EXPECT_EQ(value, 6);
    void* row0 = nullptr;
    EXPECT_EQ(raster->GetRowAddress(0, &row0), S_OK);
    EXPECT_EQ(raster->Create(8, 6, 4, 1), S_OK);
    EXPECT_EQ(raster->GetRowAddress(5, &address), S_OK);
    EXPECT_EQ(address, static_cast<uint8_t*>(row0) + 5 * 32);
    EXPECT_EQ(raster->GetRowAddress(6, &address), E_INVALIDARG);
    EXPECT_EQ(raster->GetRowAddress(-1, &address), E_INVALIDARG);
    EXPECT_EQ(raster->GetPitch(&value), S_OK);
    EXPECT_EQ(value, 32);

    // Frame 0 at full size, frame 1 at half size, over a raster left dirty between them.
    const struct {
        int64_t frame;
        float scale;
        const char* picture;
    } frames[] = {
        {0, 1.0f, "........|........|..####..|..####..|........|........|"},
        {1, 0.5f, "........|........|..##....|........|........|........|"},
        {0, 1.0f, "........|........|..####..|..####..|........|........|"}, // a seek back
    };
    for (const auto& f : frames) {
        std::memset(row0, 0x77, 6 * 32);
        EXPECT_EQ(movie->GotoFrame(f.frame), S_OK);
        EXPECT_EQ(context->SetRaster(raster.get()), S_OK);
        EXPECT_EQ(context->Reset(), S_OK);
        EXPECT_EQ(context->Clear(IVxSWFRenderContext::kClearTransparent), S_OK);
        EXPECT_EQ(context->PushTransform(), S_OK);
        EXPECT_EQ(context->Scale(f.scale, f.scale, 1), S_OK);
        EXPECT_EQ(movie->Render(context.get()), S_OK);
        EXPECT_EQ(context->PopTransform(), S_OK);
        EXPECT_EQ(context->Finish(), S_OK);
        EXPECT_EQ(Picture(raster.get()), f.picture) << "frame " << f.frame;
    }
}
