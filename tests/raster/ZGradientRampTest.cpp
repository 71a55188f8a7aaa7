// The colour ramp built from gradient stops: exact entries at, between and beyond the
// stops.  Before the first stop the ramp is the first colour and after the last stop the
// last colour, byte for byte, whatever blending mode.
#include "raster/ZGradient.h"
#include "support/Hex.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

TEST(ZGradientRamp, EntriesAtBetweenAndBeyondTheStops) {
    // Stops as (position, "bbggrraa"); expected entries as (index, "bbggrraa").
    using Stops = std::vector<std::pair<float, const char*>>;
    using Entries = std::vector<std::pair<int, const char*>>;
    const struct {
        const char* what;
        bool linearRGB;
        Stops stops;
        Entries entries;
    } cases[] = {
        // Stop indices 255 and 767; halfway the weight is 255 * 256 / 512 = 127.
        {"two inner stops",
         false,
         {{0.25f, "0000ffff"}, {0.75f, "ff000080"}},
         {{0, "0000ffff"},
          {255, "0000ffff"},
          {511, "7f0080bf"},
          {767, "ff000080"},
          {768, "ff000080"},
          {1023, "ff000080"}}},
        {"two inner stops, linear light",
         true,
         {{0.25f, "0000ffff"}, {0.75f, "ff000080"}},
         {{0, "0000ffff"}, {254, "0000ffff"}, {767, "ff000080"}, {1023, "ff000080"}}},
        // The last stop pads, not the first nor the one before it.
        {"three stops",
         false,
         {{0.0f, "000000ff"}, {0.5f, "ffffffff"}, {0.6f, "00ff0040"}},
         {{0, "000000ff"},
          {511, "ffffffff"},
          {562, "80ff809f"}, // the second pair starts two entries past its first stop
          {613, "00ff0040"},
          {900, "00ff0040"},
          {1023, "00ff0040"}}},
        {"three stops, linear light",
         true,
         {{0.0f, "000000ff"}, {0.5f, "ffffffff"}, {0.6f, "00ff0040"}},
         {{613, "00ff0040"}, {1023, "00ff0040"}}},
        // Weights 255 k / 1023: whole at 341 and 682, just short of whole at 340 and 1022.
        {"black to white",
         false,
         {{0.0f, "000000ff"}, {1.0f, "ffffffff"}},
         {{4, "000000ff"},
          {5, "010101ff"},
          {340, "545454ff"},
          {341, "555555ff"},
          {682, "aaaaaaff"},
          {1022, "fefefeff"},
          {1023, "ffffffff"}}},
        {"one stop", false, {{0.3f, "10203040"}}, {{0, "10203040"}, {1023, "10203040"}}},
    };
    for (const auto& c : cases) {
        ZGradient gradient;
        gradient.SetLinearRGB(c.linearRGB);
        for (const auto& [position, bgra] : c.stops) {
            ZGradientStop stop;
            stop.position = position;
            const std::vector<uint8_t> bytes = swftest::FromHex(bgra);
            std::copy(bytes.begin(), bytes.end(), stop.color);
            gradient.AddStop(stop);
        }
        gradient.BuildRamp();
        for (const auto& [index, bgra] : c.entries)
            EXPECT_EQ(swftest::ToHex(gradient.RampEntry(index), 4), bgra)
                << c.what << ", entry " << index;
    }
}
