#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace hiragana {

// A speech character: every request returns at once and is carried out later, in the order
// the requests were made. A failure to accept a request throws hiragana::Failure.
class Character {
public:
    virtual ~Character() = default;

    // Puts the character's top-left corner at (x, y) screen pixels, also while it is hidden.
    virtual void MoveTo(std::int16_t x, std::int16_t y) = 0;
    virtual void Show() = 0;
    virtual void Speak(const std::u16string &text) = 0;
    virtual void Hide() = 0;
};

// The collection of loaded characters (Characters.Load and Characters.Item).
class CharacterCollection {
public:
    virtual ~CharacterCollection() = default;

    // Loads the character data named by loadKey under id; throws hiragana::Failure when the
    // data is missing or unreadable.
    virtual void Load(const std::u16string &id, const std::u16string &loadKey) = 0;
    // The character loaded under id; throws hiragana::Failure when there is none.
    virtual Character &Item(const std::u16string &id) = 0;
    // Gets the loaded characters ready to appear and speak (windows, art, voice) now rather
    // than on their first request: for a quiet moment once the keyboard is on the screen.
    virtual void Prepare() {}
};

// The real component: an animated character window with a voice.
std::unique_ptr<CharacterCollection> CreateCharacterCollection();

} // namespace hiragana
