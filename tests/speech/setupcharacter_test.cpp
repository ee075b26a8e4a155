#include "characterspeaker.h"
#include "fakecharacter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace hiragana {
namespace {

using ::testing::ElementsAre;

using RecordingCollection = testing::RecordingCharacters;

TEST(SetUpCharacter, LoadsMicByItsFixedLoadKeyThenPlacesIt)
{
    RecordingCollection characters;
    Character &character = SetUpCharacter(characters, 1500, 1200);

    EXPECT_EQ(&character, &characters.mic);
    ASSERT_EQ(characters.loaded.size(), 1u);
    EXPECT_EQ(characters.loaded[0].first, u"mic");
    EXPECT_EQ(characters.loaded[0].second, u"c:\\windows\\msagent\\mic.acs");
    EXPECT_THAT(characters.log, ElementsAre("Load", "Item", "MoveTo 105 136"));
}

struct Placement {
    float leftTwips;
    float topTwips;
    int x;
    int y;
};

void PrintTo(const Placement &placement, std::ostream *out)
{
    *out << "Left " << placement.leftTwips << " Top " << placement.topTwips << " to " << placement.x << ","
         << placement.y;
}

class SetUpCharacterPlacement : public ::testing::TestWithParam<Placement> {};

TEST_P(SetUpCharacterPlacement, DividesByFifteenAndRoundsTiesToEven)
{
    const Placement placement = GetParam();
    RecordingCollection characters;
    SetUpCharacter(characters, placement.leftTwips, placement.topTwips);
    EXPECT_EQ(characters.log.back(), "MoveTo " + std::to_string(placement.x) + " " + std::to_string(placement.y));
}

INSTANTIATE_TEST_SUITE_P(
    Examples, SetUpCharacterPlacement,
    ::testing::Values(Placement{1500, 1200, 105, 136},
                      // a 12-twips-per-pixel screen: still divided by 15
                      Placement{1200, 960, 85, 120},
                      // ties: 5.5 and 6.5 both round to 6; 0.5 to 0 and 1.5 to 2
                      Placement{7.5f, 0, 6, 56}, Placement{22.5f, 0, 6, 56}, Placement{0, -832.5f, 5, 0},
                      Placement{0, -817.5f, 5, 2},
                      // a window left of or above the screen
                      Placement{-1500, -1200, -95, -24},
                      // the ends of the 16-bit range; -32768.5 rounds to the even -32768
                      Placement{491430, 490665, 32767, 32767}, Placement{-491595, -492360, -32768, -32768},
                      Placement{-491602.5f, 0, -32768, 56}));

class SetUpCharacterOverflow : public ::testing::TestWithParam<std::pair<float, float>> {};

TEST_P(SetUpCharacterOverflow, FailsWithoutMovingTheCharacter)
{
    RecordingCollection characters;
    try {
        SetUpCharacter(characters, GetParam().first, GetParam().second);
        FAIL() << "no failure";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.number(), Failure::Overflow);
    }
    EXPECT_THAT(characters.log, ElementsAre("Load", "Item"));
}

constexpr float Infinity = std::numeric_limits<float>::infinity();
constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    OutOfRange, SetUpCharacterOverflow,
    ::testing::Values(std::pair{491445.0f, 0.0f}, std::pair{-491610.0f, 0.0f}, std::pair{0.0f, 490680.0f},
                      std::pair{0.0f, -492375.0f},
                      // 32767.5 rounds to the even 32768
                      std::pair{491437.5f, 0.0f}, std::pair{Infinity, 0.0f}, std::pair{0.0f, -Infinity},
                      std::pair{NaN, 0.0f}, std::pair{0.0f, NaN}));

TEST(SetUpCharacter, ALoadFailureEndsItBeforeAnyOtherRequest)
{
    RecordingCollection characters;
    characters.loadFails = true;
    try {
        SetUpCharacter(characters, 1500, 1200);
        FAIL() << "no failure";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.number(), Failure::FileNotFound);
    }
    EXPECT_THAT(characters.log, ElementsAre("Load"));
}

TEST(CharacterSpeaker, EachSayAloudIsShowSpeakHideAlsoForAnEmptyText)
{
    RecordingCollection characters;
    CharacterSpeaker speaker(characters.mic);

    speaker.SayAloud(u"が");
    speaker.SayAloud(u"");
    speaker.SayAloud(u"がっこう");

    EXPECT_THAT(characters.log,
                ElementsAre("Show", "Speak", "Hide", "Show", "Speak", "Hide", "Show", "Speak", "Hide"));
    EXPECT_THAT(characters.mic.spoken, ElementsAre(u"が", u"", u"がっこう"));
}

TEST(CharacterSpeaker, WithoutACharacterFails)
{
    CharacterSpeaker speaker;
    EXPECT_THROW(speaker.SayAloud(u"あ"), Failure);
}

} // namespace
} // namespace hiragana
