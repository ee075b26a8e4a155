#pragma once

#include "speechcharacter.h"

#include <QColor>
#include <QPoint>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class QWidget;

namespace hiragana::windowtest {

// A speech character that records the requests it gets.
class RecordingCharacter : public Character {
public:
    void MoveTo(std::int16_t x, std::int16_t y) override { moves.emplace_back(x, y); }
    void Show() override { ++shows; }
    void Speak(const std::u16string &text) override { spoken.push_back(text); }
    void Hide() override { ++hides; }

    std::vector<std::pair<int, int>> moves;
    std::vector<std::u16string> spoken;
    int shows = 0;
    int hides = 0;
};

// A collection of recording characters; a load key of failLoadWith makes Load fail.
class RecordingCharacters : public CharacterCollection {
public:
    void Load(const std::u16string &id, const std::u16string &loadKey) override;
    Character &Item(const std::u16string &id) override;

    RecordingCharacter &mic() { return characters.at(u"mic"); }

    std::map<std::u16string, RecordingCharacter> characters;
    bool failLoad = false;
};

// Real input through the X server (XTest), as a user's mouse and keyboard give it.
void ClickAt(QPoint global);
// Clicks the middle of a widget and waits until the click has reached it.
[[nodiscard]] bool Click(const QWidget &widget);
// keysym as in X11/keysymdef.h; shift and control are held around it when asked.
enum Modifier { NoModifier = 0, Shift = 1, Control = 2 };
void PressKey(unsigned long keysym, int modifiers = NoModifier);

// The colour on screen at a point inside a key's face, clear of its border, focus mark and caption.
QColor FaceColourOnScreen(const QWidget &key);

} // namespace hiragana::windowtest
