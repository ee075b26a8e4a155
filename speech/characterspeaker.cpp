#include "characterspeaker.h"

#include "failure.h"

#include <cmath>
#include <limits>

namespace hiragana {

namespace {
const std::u16string CharacterId = u"mic";
const std::u16string CharacterLoadKey = u"c:\\windows\\msagent\\mic.acs";

// Twips to the character's pixels: always 15 twips per pixel, rounded to nearest, ties to even.
std::int16_t toCharacterPixels(float twips, float offset)
{
    const float pixels = std::nearbyint((twips + offset) / 15.0f);
    if (!std::isfinite(pixels) || pixels < std::numeric_limits<std::int16_t>::min()
        || pixels > std::numeric_limits<std::int16_t>::max())
        throw Failure(Failure::Overflow, "Overflow");
    return static_cast<std::int16_t>(pixels);
}
} // namespace

Character &SetUpCharacter(CharacterCollection &characters, float windowLeftTwips, float windowTopTwips)
{
    characters.Load(CharacterId, CharacterLoadKey);
    Character &character = characters.Item(CharacterId);
    const std::int16_t y = toCharacterPixels(windowTopTwips, 840.0f);
    const std::int16_t x = toCharacterPixels(windowLeftTwips, 75.0f);
    character.MoveTo(x, y);
    return character;
}

void CharacterSpeaker::SayAloud(const std::u16string &text)
{
    if (!m_character)
        throw Failure(Failure::ObjectRequired, "Object required");
    m_character->Show();
    m_character->Speak(text);
    m_character->Hide();
}

} // namespace hiragana
