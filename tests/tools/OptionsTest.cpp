#include "tools/swfframes/Options.h"
#include "tools/swfframes/ContactSheet.h"
#include "tools/swfframes/DigitFont.h"
#include "tools/swfframes/PictureFit.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

bool Parse(std::vector<const char*> args, Options& options, std::string& error) {
    args.insert(args.begin(), "swfframes");
    return ParseOptions(int(args.size()), args.data(), options, error);
}

std::string ErrorOf(std::vector<const char*> args) {
    Options options;
    std::string error;
    EXPECT_FALSE(Parse(args, options, error));
    return error;
}

int PluginWidth(int natural, const Scale& scale) {
    return int(std::trunc(natural * scale.zoom * scale.stretch));
}

int PluginHeight(int natural, const Scale& scale) {
    return int(std::trunc(natural * scale.zoom));
}

} // namespace

TEST(Options, RenderWithEveryOption) {
    Options options;
    std::string error;
    ASSERT_TRUE(Parse({"render", "a.swf", "folder", "-o", "out", "--frames", "0-2,9", "--zoom",
                       "0.5", "--stretch", "2", "--background", "#102030", "--plugin", "lib.so",
                       "--quiet", "--progress", "json"},
                      options, error))
        << error;
    EXPECT_EQ(options.command, "render");
    EXPECT_EQ(options.inputs, (std::vector<std::string>{"a.swf", "folder"}));
    EXPECT_EQ(options.output, "out");
    EXPECT_TRUE(options.framesGiven);
    EXPECT_EQ(options.zoom, 0.5);
    EXPECT_EQ(options.stretch, 2.0);
    EXPECT_EQ(options.background.red, 0x10);
    EXPECT_EQ(options.plugin, "lib.so");
    EXPECT_TRUE(options.quiet);
    EXPECT_EQ(options.progress, ProgressMode::kJson);
}

TEST(Options, TheLastPositionalIsTheOutputOfSheetVideoAndInflate) {
    for (const char* command : {"sheet", "video", "inflate"}) {
        Options options;
        std::string error;
        ASSERT_TRUE(Parse({command, "in.swf", "out.x"}, options, error)) << error;
        EXPECT_EQ(options.inputs, std::vector<std::string>{"in.swf"});
        EXPECT_EQ(options.output, "out.x");
    }
    Options batch;
    std::string error;
    ASSERT_TRUE(
        Parse({"video", "a.swf", "b.swf", "-o", "dir", "--format", "apng", "--max-pixels", "5e6"},
              batch, error));
    EXPECT_EQ(batch.inputs.size(), 2u);
    EXPECT_EQ(batch.videoFormat, "apng");
    EXPECT_EQ(batch.maxPixels, 5'000'000);
    EXPECT_EQ(Options().maxPixels, 64'000'000);
}

TEST(Options, Mistakes) {
    EXPECT_NE(ErrorOf({}).find("no command"), std::string::npos);
    EXPECT_NE(ErrorOf({"draw", "a.swf"}).find("unknown command"), std::string::npos);
    EXPECT_NE(ErrorOf({"render", "a.swf"}).find("-o DIR"), std::string::npos);
    EXPECT_NE(ErrorOf({"render", "-o", "out"}).find("needs a movie"), std::string::npos);
    EXPECT_NE(ErrorOf({"render", "a.swf", "-o"}).find("needs a value"), std::string::npos);
    EXPECT_NE(ErrorOf({"render", "a.swf", "-o", "x", "--zoom", "0"}).find("positive"),
              std::string::npos);
    EXPECT_NE(ErrorOf({"render", "a.swf", "-o", "x", "--zoom", "abc"}).find("positive"),
              std::string::npos);
    EXPECT_NE(ErrorOf({"render", "a.swf", "-o", "x", "--frames", "3-1"}).find("backwards"),
              std::string::npos);
    EXPECT_NE(ErrorOf({"video", "a.swf", "-o", "x", "--format", "avi"}).find("gif, webp or apng"),
              std::string::npos);
    EXPECT_NE(ErrorOf({"render", "a.swf", "-o", "x", "--background", "blue"}).find("#RRGGBB"),
              std::string::npos);
    EXPECT_NE(ErrorOf({"render", "a.swf", "-o", "x", "--width", "1.5"}).find("whole"),
              std::string::npos);
    EXPECT_NE(ErrorOf({"render", "a.swf", "-o", "x", "--bogus"}).find("unknown option"),
              std::string::npos);
    EXPECT_NE(ErrorOf({"sheet", "a.swf"}).find("an input and an output"), std::string::npos);
    EXPECT_NE(ErrorOf({"sheet", "a.swf", "b.swf", "c.png"}).find("one movie"), std::string::npos);
    EXPECT_NE(ErrorOf({"video", "a.swf", "-o", "d", "--format", "avi"}).find("mov"),
              std::string::npos);
}

TEST(Options, HelpNeedsNothingElse) {
    Options options;
    std::string error;
    ASSERT_TRUE(Parse({"--help"}, options, error));
    EXPECT_EQ(options.command, "help");
    EXPECT_NE(std::string(UsageText()).find("exit codes"), std::string::npos);
}

TEST(PictureFit, WidthOrHeightKeepsTheAspect) {
    const Scale byWidth = FitPicture(550, 400, 275, std::nullopt, {});
    EXPECT_EQ(PluginWidth(550, byWidth), 275);
    EXPECT_EQ(PluginHeight(400, byWidth), 200);
    EXPECT_EQ(byWidth.stretch, 1.0);
    const Scale byHeight = FitPicture(550, 400, std::nullopt, 100, {});
    EXPECT_EQ(PluginHeight(400, byHeight), 100);
    EXPECT_EQ(PluginWidth(550, byHeight), 137);
}

TEST(PictureFit, BothStretchTheWidth) {
    const Scale both = FitPicture(550, 400, 300, 300, {});
    EXPECT_EQ(PluginWidth(550, both), 300);
    EXPECT_EQ(PluginHeight(400, both), 300);
    EXPECT_NE(both.stretch, 1.0);
}

TEST(PictureFit, TruncationNeverLosesThePixel) {
    for (int natural = 1; natural < 700; natural += 7)
        for (int target = 1; target < 900; target += 13) {
            const Scale scale = FitPicture(natural, natural + 3, target, std::nullopt, {});
            ASSERT_EQ(PluginWidth(natural, scale), target) << natural << " -> " << target;
            const Scale both = FitPicture(natural, natural + 3, target, target + 1, {});
            ASSERT_EQ(PluginWidth(natural, both), target) << natural << " -> " << target;
            ASSERT_EQ(PluginHeight(natural + 3, both), target + 1);
        }
}

TEST(PictureFit, WithoutASizeTheGivenFactorsStay) {
    const Scale scale = FitPicture(550, 400, std::nullopt, std::nullopt, {0.5, 2.0});
    EXPECT_EQ(scale.zoom, 0.5);
    EXPECT_EQ(scale.stretch, 2.0);
}

TEST(DigitFont, DrawsDigitsInTheirCells) {
    RgbaImage image(NumberWidth(10, 1), kDigitHeight);
    EXPECT_EQ(image.width, 7);
    DrawNumber(image, 0, 0, 10, 1, {255, 255, 255, 255});
    // "1": the middle column is lit on every row; "0" has a hollow middle.
    for (int y = 0; y < kDigitHeight; ++y) EXPECT_EQ(image.Row(y)[1 * 4 + 3], 255) << y;
    EXPECT_EQ(image.Row(2)[5 * 4 + 3], 0);
    EXPECT_EQ(image.Row(0)[3 * 4 + 3], 0); // the gap between digits
}

TEST(ContactSheet, LaysCellsOutInRowsWithLabels) {
    ContactSheet sheet(20, 10, 3, 5, Background::Color(0, 0, 255));
    const RgbaImage& image = sheet.Image();
    const int m = ContactSheet::kMargin;
    EXPECT_EQ(image.width, m + 3 * (20 + m));
    EXPECT_EQ(image.height, m + 2 * (10 + ContactSheet::kLabelHeight + m));
    // A half-transparent red pixel over the blue background of cell 4 (second row).
    const std::vector<uint8_t> bgra = {0, 0, 255, 128};
    sheet.Place(4, 7, FrameView::FromLent(bgra.data(), -4, 1, 1));
    const int cellX = m + (20 + m), cellY = m + (10 + ContactSheet::kLabelHeight + m);
    const uint8_t* centre = image.Row(cellY + 4) + size_t(cellX + 9) * 4;
    EXPECT_EQ(centre[0], 128);
    EXPECT_EQ(centre[2], 127);
    const uint8_t* backdrop = image.Row(cellY) + size_t(cellX) * 4;
    EXPECT_EQ(backdrop[2], 255);
}
