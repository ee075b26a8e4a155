#pragma once

#include "speaker.h"
#include "speechcharacter.h"

namespace hiragana {

// Loads the character "mic" and places it by the window's top-left corner, given the window's
// outer position in twips. Throws hiragana::Failure on a load failure or a position that does
// not fit 16 bits.
Character &SetUpCharacter(CharacterCollection &characters, float windowLeftTwips, float windowTopTwips);

// SayAloud as the keyboard does it: show, speak the text, hide; never waits.
class CharacterSpeaker : public Speaker {
public:
    CharacterSpeaker() = default;
    explicit CharacterSpeaker(Character &character) : m_character(&character) {}

    void setCharacter(Character &character) { m_character = &character; }
    void SayAloud(const std::u16string &text) override;

private:
    Character *m_character = nullptr;
};

} // namespace hiragana
