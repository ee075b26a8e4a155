#pragma once

#include "keytable.h"

#include <cstdint>
#include <string>
#include <vector>

namespace hiragana::testing {

// Where key Command<number> lies, in twips from the window's top-left corner below its menu
// bar: the layout as the user sees it, written down apart from the program's key table.
struct KeyPlace { int left, top, width, height; };
KeyPlace PlaceOf(int number);

// What the keyboard should do, worked out from its rules alone, apart from the program and its
// key table (a key is known by its number, 1 to 70): the text box, the engine's copy of it, the
// pending and last confirmed strings, what the character was asked to say, the focus (0: the
// text box), each key's face and the transfer target.
class KeyboardModel {
public:
    enum class Effect { Nothing, TransferToTarget, TransferToNone };
    static constexpr int Keys = 70;

    Effect Click(int number); // the key takes the focus, then does its work
    Effect Click(const KeyRecord &key) { return Click(int(&key - KeyTable.data()) + 1); }
    // Space or Enter ("\n") on whatever holds the focus: a key clicks, the box types.
    Effect Press(char16_t key);
    void Tab() { m_focus = (m_focus + 1) % (Keys + 1); }
    void BackTab() { m_focus = (m_focus + Keys) % (Keys + 1); }
    // Typed or pasted at the end of the box, if it holds the focus; a line feed becomes CR LF.
    void TypeIntoBox(std::u16string_view text);
    void EditBox(std::u16string text) { m_box = std::move(text); } // by hand, anywhere
    void ChooseWord() { m_targetIsWord = true; }
    void ChooseMail() { m_targetIsWord = false; }

    bool BoxHasFocus() const { return m_focus == 0; }
    // 0xRRGGBB: red while the key holds the focus, if it shows focus at all; else its own.
    std::uint32_t Face(int number) const;
    const std::u16string &Box() const { return m_box; }
    const std::u16string &Committed() const { return m_committed; }
    const std::u16string &Pending() const { return m_pending; }
    const std::u16string &LastConfirmed() const { return m_lastConfirmed; }
    bool ReplacesLast() const { return m_replaceLast; }
    const std::vector<std::u16string> &Said() const { return m_said; }

private:
    void confirm();
    void addMark(bool semiVoiced);
    void write(std::u16string text); // into the box and the engine's copy; the focus to the box

    std::u16string m_box, m_committed, m_pending, m_lastConfirmed;
    std::vector<std::u16string> m_said;
    bool m_replaceLast = false;
    bool m_targetIsWord = true;
    int m_focus = 0;
};

} // namespace hiragana::testing
