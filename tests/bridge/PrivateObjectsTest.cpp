// The private movie object, render context and raster, reached through the private
// creation function.
#include "bridge/VxSWFPrivate.h"
#include "support/ComTestUtil.h"
#include "support/SwfWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

using comtest::ComPtr;

namespace {

std::string WriteMovie(const std::string& name, double rate, int frames) {
    swftest::SwfWriter writer(30, 20, rate);
    for (int i = 0; i < frames; ++i) writer.ShowFrame();
    writer.End();
    const std::vector<uint8_t> bytes = writer.Finish();
    const std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

template <class T> ComPtr<T> Make(REFIID iid) {
    ComPtr<T> object;
    EXPECT_EQ(CreateSWFObject(nullptr, iid, object.outVoid()), S_OK);
    return object;
}

} // namespace

TEST(PrivateObjects, CreationRefusesAggregationAndUnknownInterfaces) {
    void* object = reinterpret_cast<void*>(1);
    ComPtr<IVxSWFRaster> outer = Make<IVxSWFRaster>(IID_IVxSWFRaster);
    EXPECT_EQ(CreateSWFObject(outer.get(), IID_IVxSWFRaster, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(CreateSWFObject(nullptr, IID_IUnknown, &object), E_NOINTERFACE);
    // Each object comes with exactly the one reference.
    EXPECT_EQ(outer->AddRef(), 2u);
    EXPECT_EQ(outer->Release(), 1u);
}

TEST(PrivateObjects, MovieObjectAnswersFromTheHeader) {
    ComPtr<IVxSWFFlashScript> movie = Make<IVxSWFFlashScript>(IID_IVxSWFFlashScript);
    EXPECT_EQ(movie->Load(nullptr), E_INVALIDARG);
    EXPECT_EQ(movie->Load(WriteMovie("half.swf", 0.5, 3).c_str()), S_OK);
    int32_t value = -1;
    EXPECT_EQ(movie->GetFrameRate(&value), S_OK);
    EXPECT_EQ(value, 0); // 0.5 frames per second truncates
    EXPECT_EQ(movie->GetFrameCount(&value), S_OK);
    EXPECT_EQ(value, 3);
    float bounds[3] = {-1, -1, -1};
    EXPECT_EQ(movie->GetBounds(bounds), S_OK);
    EXPECT_EQ(bounds[0], 30.0f);
    EXPECT_EQ(bounds[1], 20.0f);
    EXPECT_EQ(bounds[2], 0.0f);
    EXPECT_EQ(movie->GotoFrame(2), S_OK);
    EXPECT_EQ(movie->GotoFrame(3), S_FALSE);
    EXPECT_EQ(movie->GetFrameCount(nullptr), E_INVALIDARG);
    EXPECT_EQ(movie->Render(nullptr), E_INVALIDARG);

    ComPtr<IVxSWFFlashScript> missing = Make<IVxSWFFlashScript>(IID_IVxSWFFlashScript);
    EXPECT_EQ(missing->Load("/nonexistent-folder/missing.swf"), S_OK);
    EXPECT_EQ(missing->GetFrameCount(&value), S_OK);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(missing->GotoFrame(0), S_FALSE);
}

TEST(PrivateObjects, RasterKeepsItsBufferWhileTheSizeStays) {
    ComPtr<IVxSWFRaster> raster = Make<IVxSWFRaster>(IID_IVxSWFRaster);
    int32_t value = 0;
    EXPECT_EQ(raster->GetWidth(&value), E_FAIL);
    EXPECT_EQ(raster->Create(0, 480, 4, 1), E_INVALIDARG);
    ASSERT_EQ(raster->Create(640, 480, 4, 1), S_OK);
    void* first = nullptr;
    ASSERT_EQ(raster->GetRowAddress(0, &first), S_OK);
    ASSERT_EQ(raster->Create(640, 480, 4, 1), S_OK);
    void* again = nullptr;
    raster->GetRowAddress(0, &again);
    EXPECT_EQ(again, first);
    ASSERT_EQ(raster->Create(640, 360, 4, 1), S_OK);
    EXPECT_EQ(raster->GetHeight(&value), S_OK);
    EXPECT_EQ(value, 360);
    EXPECT_EQ(raster->GetPitch(&value), S_OK);
    EXPECT_EQ(value, 2560);
    void* row = nullptr;
    EXPECT_EQ(raster->GetRowAddress(2, &row), S_OK);
    raster->GetRowAddress(0, &first);
    EXPECT_EQ(static_cast<uint8_t*>(row) - static_cast<uint8_t*>(first), 5120);
    EXPECT_EQ(raster->GetRowAddress(360, &row), E_INVALIDARG);
    EXPECT_EQ(raster->GetPitch(nullptr), E_INVALIDARG);
}

TEST(PrivateObjects, RenderContextClearsOnlyInModeFour) {
    ComPtr<IVxSWFRaster> raster = Make<IVxSWFRaster>(IID_IVxSWFRaster);
    ComPtr<IVxSWFRenderContext> context = Make<IVxSWFRenderContext>(IID_IVxSWFRenderContext);
    EXPECT_EQ(context->SetRaster(nullptr), E_INVALIDARG);
    EXPECT_EQ(context->SetRaster(raster.get()), E_FAIL); // no buffer yet
    ASSERT_EQ(raster->Create(4, 4, 4, 1), S_OK);
    ASSERT_EQ(context->SetRaster(raster.get()), S_OK);
    void* pixels = nullptr;
    raster->GetRowAddress(0, &pixels);
    std::memset(pixels, 0x5A, 64);
    EXPECT_EQ(context->Clear(3), E_INVALIDARG);
    EXPECT_EQ(static_cast<uint8_t*>(pixels)[63], 0x5A);
    EXPECT_EQ(context->Clear(4), S_OK);
    EXPECT_EQ(static_cast<uint8_t*>(pixels)[63], 0);
    EXPECT_EQ(context->Reset(), S_OK);
    EXPECT_EQ(context->PushTransform(), S_OK);
    EXPECT_EQ(context->Scale(2, 2, 1), S_OK);
    EXPECT_EQ(context->PopTransform(), S_OK);
    EXPECT_EQ(context->Finish(), S_OK);
}
