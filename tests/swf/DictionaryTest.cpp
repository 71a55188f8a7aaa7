#include "MovieTestSupport.h"
#include "base/RefCountBase.h"
#include "support/SwfWriter.h"
#include "swf/FButton.h"
#include "swf/FFont.h"

#include <gtest/gtest.h>

namespace {

// Counts destructions so that tests can see when the last reference went.
template <class Base> class Counted : public Base {
public:
    Counted(UT::FlashScript* owner, uint32_t id, int* destroyed)
        : Base(owner), destroyed(destroyed) {
        this->id = id;
    }
    ~Counted() override { ++*destroyed; }

private:
    int* destroyed;
};

class TestCharacter : public Counted<UT::FObject> {
public:
    using Counted::Counted;
    const char* GetTypeName() const override { return "Test"; }
};

using TestFont = Counted<UT::FFont>;
using TestButton = Counted<UT::FButton>;

} // namespace

TEST(Dictionary, DefineReplaceFindAndFree) {
    int destroyed = 0;
    UT::FlashScript movie;
    auto* first = new TestCharacter(&movie, 7, &destroyed);
    movie.DefineCharacter(first);
    EXPECT_EQ(first->RefCount(), 1); // the dictionary holds the only reference

    Held<UT::FObject> placed = movie.FindCharacter(7);
    EXPECT_EQ(placed.Get(), first);
    EXPECT_EQ(first->RefCount(), 2);
    EXPECT_FALSE(movie.FindCharacter(8));

    // A second definition with the same id replaces the first; an outside holder keeps
    // the old one alive.
    auto* second = new TestCharacter(&movie, 7, &destroyed);
    movie.DefineCharacter(second);
    EXPECT_EQ(movie.CharacterCount(), 1u);
    EXPECT_EQ(first->RefCount(), 1);
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(movie.FindCharacter(7).Get(), second);
    placed.Reset();
    EXPECT_EQ(destroyed, 1);

    // Defining the stored object again changes nothing.
    movie.DefineCharacter(second);
    EXPECT_EQ(second->RefCount(), 1);

    movie.FreeCharacter(9); // absent: nothing happens
    EXPECT_EQ(movie.CharacterCount(), 1u);
    movie.FreeCharacter(7);
    EXPECT_EQ(destroyed, 2);
    EXPECT_FALSE(movie.FindCharacter(7));
}

TEST(Dictionary, TypedFindsTestTheClass) {
    int destroyed = 0; // outlives the movie, whose characters count into it
    UT::FlashScript movie;
    movie.DefineCharacter(new TestFont(&movie, 1, &destroyed));
    movie.DefineCharacter(new TestButton(&movie, 2, &destroyed));
    movie.DefineCharacter(new TestCharacter(&movie, 3, &destroyed));

    const Held<UT::FFont> font = movie.FindFont(1);
    ASSERT_TRUE(font);
    EXPECT_STREQ(font->GetTypeName(), "Font");
    EXPECT_EQ(font->RefCount(), 2);
    EXPECT_FALSE(movie.FindFont(2));
    EXPECT_FALSE(movie.FindFont(3));
    EXPECT_FALSE(movie.FindFont(4));
    EXPECT_STREQ(movie.FindButton(2)->GetTypeName(), "Button");
    EXPECT_FALSE(movie.FindButton(1));
    EXPECT_EQ(movie.FindCharacter(2)->RefCount(), 2); // the failed finds kept nothing
}

TEST(Dictionary, TagsFreeAndNameCharacters) {
    swftest::SwfWriter writer(10, 10, 1);
    writer.NameCharacter(5, "hero")
        .NameCharacter(6, "nobody") // no such character: dropped
        .FreeCharacter(6)
        .FreeCharacter(5)
        .End();
    int destroyed = 0;
    UT::FlashScript movie;
    ASSERT_TRUE(ParseBytes(movie, writer.Finish()));
    auto* hero = new TestCharacter(&movie, 5, &destroyed);
    EXPECT_EQ(hero->Name(), "");
    movie.DefineCharacter(hero);
    Held<UT::FObject> kept = hero;

    movie.RunTags();
    EXPECT_EQ(hero->Name(), "hero");
    EXPECT_FALSE(movie.FindCharacter(5));
    EXPECT_EQ(hero->RefCount(), 1);
    EXPECT_EQ(destroyed, 0);
    kept.Reset();
    EXPECT_EQ(destroyed, 1);

    // A rewind empties the dictionary and returns to the first tag.
    movie.DefineCharacter(new TestCharacter(&movie, 5, &destroyed));
    movie.Rewind();
    EXPECT_EQ(movie.CharacterCount(), 0u);
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(movie.Position(), movie.FirstTag());
}
