// The movie reader: the header, the tag loop and its stops, and the dictionary of
// characters that tags fill and free.
#include "MovieTestSupport.h"
#include "swf/FButton.h"
#include "swf/FFont.h"

#include <gtest/gtest.h>

namespace {

// Written out by hand: version 6, length 21, an empty frame rectangle, 12.5 frames per
// second, one frame; a ShowFrame, a SetBackgroundColor and one byte too short for a tag.
const std::vector<uint8_t> kHandWritten = Hex("465753061500000000800C0100400043"
                                              "02FF003300");

} // namespace

TEST(FlashScriptHeader, TheHandWrittenMovieIsWrittenAndAcceptedAndOthersRefused) {
    swftest::SwfWriter writer(0, 0, 0);
    writer.FrameRate8_8(0x0C80).ShowFrame().SetBackgroundColor(255, 0, 0x33).Raw({0});
    EXPECT_EQ(writer.Finish(), kHandWritten);
    UT::FlashScript accepted;
    ASSERT_TRUE(ParseBytes(accepted, kHandWritten));
    EXPECT_EQ(std::tuple(accepted.Version(), accepted.FrameCount(), accepted.FirstTag()),
              std::tuple(6, 1u, 13u));
    EXPECT_EQ(accepted.FrameRate(), 12.5f);
    EXPECT_EQ(accepted.BackgroundColor().alpha, 0.0f); // nothing read yet
    accepted.GotoFrame(1);                             // past the only frame: runs to the end
    EXPECT_EQ(accepted.BackgroundColor().red, 1.0f);
    EXPECT_FLOAT_EQ(accepted.BackgroundColor().blue, 0.2f);

    // The length must be at least 21 and match the image; the signature is "FWS".
    std::vector<uint8_t> trailing = kHandWritten;
    trailing.push_back(0);
    std::vector<std::vector<uint8_t>> refused = {
        WithHeaderLength({kHandWritten.begin(), kHandWritten.end() - 1}, 20),
        trailing,
        WithHeaderLength(kHandWritten, 22),
        Hex("4657530608000000"),
        {}};
    for (const char* signature : {"CWS", "FWT", "fws"}) {
        refused.push_back(kHandWritten);
        std::copy(signature, signature + 3, refused.back().begin());
    }
    for (size_t i = 0; i < refused.size(); ++i) {
        UT::FlashScript movie;
        EXPECT_FALSE(ParseBytes(movie, refused[i])) << i;
        movie.RunTags(); // a refused movie has no tags to run
        EXPECT_EQ(movie.Position(), 0u);
    }
}

using Codes = std::vector<uint16_t>;

// Each row: the stream, bytes every handler reads, the codes seen, the (start, end) of
// the last tag seen, and where the reader stops.
TEST(TagLoop, TagsSeenAndWhereTheLoopStops) {
    const struct Row {
        const char* name;
        std::string hex;
        uint32_t readOnHandle;
        Codes codes;
        uint32_t lastStart, lastEnd, position;
        bool exhausted;
    } rows[] = {
        {"short, long, empty long",
         "43020102037F0203000000040506BF0F000000000000",
         0,
         {9, 9, 62, 0},
         20,
         20,
         20,
         false},
        {"two bytes left are an End", "400040004000", 0, {1, 1, 0}, 4, 4, 4, false},
        {"one byte left is an End", "4000400040", 0, {1, 1, 0}, 4, 4, 4, false},
        {"under-read",
         "8500010203040540000000" + std::string(32, '0'),
         0,
         {2, 1, 0},
         9,
         11,
         9,
         false},
        {"over-read",
         "8500010203040540000000" + std::string(32, '0'),
         8,
         {2, 1, 0},
         9,
         11,
         9,
         false},
        {"a wrapping length", "40007F00FFFFFFFF4000", 0, {1, 1, 0}, ~0u, ~0u, ~0u, false},
        {"a long header cut short", "40007F0001", 0, {1, 1}, 2, 6, 6, true},
        {"a handler reading past the image", "81000140004000", 100, {2}, 0, 3, 3, true},
    };
    for (const Row& row : rows) {
        ByteReader reader(Hex(row.hex));
        reader.readOnHandle = row.readOnHandle;
        reader.RunTags();
        ASSERT_EQ(reader.Codes(), row.codes) << row.name;
        EXPECT_EQ(reader.seen.back().start, row.lastStart) << row.name;
        EXPECT_EQ(reader.seen.back().end, row.lastEnd) << row.name;
        EXPECT_EQ(reader.Position(), row.position) << row.name;
        EXPECT_EQ(reader.Exhausted(), row.exhausted) << row.name;
    }
}

TEST(TagLoop, EndsAreNotPassedAndStreamsBoundTheTagsNotTheReads) {
    // A real End is not passed: the next loop meets it again, not what follows.
    ByteReader ended({0x40, 0, 0, 0, 0x40, 0, 0x40, 0});
    ended.RunTags();
    ended.RunTags();
    EXPECT_EQ(ended.Codes(), (Codes{1, 0, 0}));
    // A loop entered at the length reads nothing.
    ended.Seek(8);
    ended.RunTags();
    EXPECT_EQ(ended.seen.size(), 3u);
    // A 4-byte sub-stream (as for a sprite) inside the 8-byte image: handlers read past it.
    ByteReader sub({0x40, 0, 0x40, 0, 0x40, 0, 0, 0});
    sub.SetStream(sub.bytes.data(), 4, 0, 8);
    sub.readOnHandle = 3;
    sub.RunTags();
    EXPECT_EQ(sub.Codes(), (Codes{1, 0}));
    EXPECT_FALSE(sub.Exhausted());
    sub.Rewind();
    EXPECT_EQ(sub.Position(), 0u);
}

namespace {

// Counts destructions so that tests can see when the last reference went.
template <class Base> struct Counted : Base {
    Counted(UT::FlashScript* owner, uint32_t id, int* destroyed)
        : Base(owner), destroyed(destroyed) {
        this->id = id;
    }
    ~Counted() override { ++*destroyed; }
    int* destroyed;
};
struct TestCharacter : Counted<UT::FObject> {
    using Counted::Counted;
    const char* GetTypeName() const override { return "Test"; }
};

} // namespace

TEST(Dictionary, DefineReplaceFindAndFree) {
    int destroyed = 0; // outlives the movie, whose characters count into it
    UT::FlashScript movie;
    auto* first = new TestCharacter(&movie, 7, &destroyed);
    movie.DefineCharacter(first);
    Held<UT::FObject> placed = movie.FindCharacter(7);
    EXPECT_EQ(placed.Get(), first);
    EXPECT_EQ(first->RefCount(), 2);
    EXPECT_FALSE(movie.FindCharacter(8));
    // A second definition with the same id replaces the first; an outside holder keeps the
    // old one alive.  Defining the stored object again changes nothing.
    auto* second = new TestCharacter(&movie, 7, &destroyed);
    movie.DefineCharacter(second);
    movie.DefineCharacter(second);
    EXPECT_EQ(std::tuple(movie.CharacterCount(), first->RefCount(), second->RefCount(), destroyed),
              std::tuple(1u, 1, 1, 0));
    EXPECT_EQ(movie.FindCharacter(7).Get(), second);
    placed.Reset();
    EXPECT_EQ(destroyed, 1);
    movie.FreeCharacter(9); // absent: nothing happens
    EXPECT_EQ(movie.CharacterCount(), 1u);
    movie.FreeCharacter(7);
    EXPECT_EQ(destroyed, 2);

    // Typed finds test the class and keep nothing when they fail.
    movie.DefineCharacter(new Counted<UT::FFont>(&movie, 1, &destroyed));
    movie.DefineCharacter(new Counted<UT::FButton>(&movie, 2, &destroyed));
    movie.DefineCharacter(new TestCharacter(&movie, 3, &destroyed));
    EXPECT_EQ(movie.FindFont(1)->RefCount(), 2);
    EXPECT_STREQ(movie.FindButton(2)->GetTypeName(), "Button");
    EXPECT_FALSE(movie.FindFont(2) || movie.FindFont(3) || movie.FindFont(4) ||
                 movie.FindButton(1));
    EXPECT_EQ(movie.FindCharacter(2)->RefCount(), 2);
}

TEST(Dictionary, TagsFreeAndNameCharactersAndRewindEmpties) {
    swftest::SwfWriter writer(10, 10, 1);
    writer.NameCharacter(5, "hero")
        .NameCharacter(6, "nobody")
        .FreeCharacter(6)
        .FreeCharacter(5)
        .End();
    int destroyed = 0;
    UT::FlashScript movie;
    ASSERT_TRUE(ParseBytes(movie, writer.Finish()));
    auto* hero = new TestCharacter(&movie, 5, &destroyed);
    movie.DefineCharacter(hero);
    Held<UT::FObject> kept = hero;
    movie.RunTags();
    EXPECT_EQ(hero->Name(), "hero");
    EXPECT_FALSE(movie.FindCharacter(5));
    EXPECT_EQ(std::tuple(hero->RefCount(), destroyed), std::tuple(1, 0));
    kept.Reset();
    EXPECT_EQ(destroyed, 1);

    movie.DefineCharacter(new TestCharacter(&movie, 5, &destroyed));
    movie.Rewind();
    EXPECT_EQ(std::tuple(movie.CharacterCount(), destroyed), std::tuple(0u, 2));
    EXPECT_EQ(movie.Position(), movie.FirstTag());
}
