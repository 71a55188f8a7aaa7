#include "MovieTestSupport.h"
#include "swf/FButton.h"
#include "swf/FFont.h"

#include <gtest/gtest.h>

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
