#pragma once

#include "keytable.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hiragana::testing {

// Where key Command<number> lies, in twips from the top-left corner of the window below its
// menu bar: the layout as the user sees it, written down apart from the program's key table.
struct KeyPlace {
    int left, top, width, height;
};
KeyPlace PlaceOf(int number);

// What the keyboard should do, worked out from its rules alone, independently of the program
// and of its key table (a key is known by its number, Command1 to Command70): the text box,
// the engine's copy of it, the pending and last confirmed strings, the replacement flag, what
// the speech character was asked to say, which control holds the focus, the face each key
// shows, and the transfer target.
class KeyboardModel {
public:
    enum class Effect { Nothing, TransferToTarget, TransferToNone };
    static constexpr int Keys = 70;

    // A mouse click: the key takes the focus, then does its work.
    Effect Click(int number);
    // The same for a row of the key table, known by its place in the table.
    Effect Click(const KeyRecord &key) { return Click(int(&key - KeyTable.data()) + 1); }
    // Space or Enter on whatever holds the focus: a key clicks, the text box gets the character.
    Effect PressSpace();
    Effect PressEnter();
    void Tab() { m_focus = (m_focus + 1) % (Keys + 1); }
    void BackTab() { m_focus = (m_focus + Keys) % (Keys + 1); }
    // Typed or pasted straight into the text box, at its end (the caret is always there); a
    // line feed arrives as CR LF. Nothing happens unless the text box holds the focus.
    void TypeIntoBox(std::u16string_view text);
    // The user edited the text box by hand, anywhere in it, into this text.
    void EditBox(std::u16string text) { m_box = std::move(text); }
    void ChooseWord() { m_targetIsWord = true; }
    void ChooseMail() { m_targetIsWord = false; }

    bool BoxHasFocus() const { return m_focus == 0; }
    // The number of the key that holds the focus; 0 for the text box.
    int FocusedKey() const { return m_focus; }
    // The colour (0xRRGGBB) the key's face shows now: red while it holds the focus, if it shows
    // the focus at all, else its own.
    std::uint32_t Face(int number) const;
    const std::u16string &Box() const { return m_box; }
    const std::u16string &Committed() const { return m_committed; }
    const std::u16string &Pending() const { return m_pending; }
    const std::u16string &LastConfirmed() const { return m_lastConfirmed; }
    bool ReplacesLast() const { return m_replaceLast; }
    const std::vector<std::u16string> &Said() const { return m_said; }

private:
    Effect activate(int number);
    void confirm();
    void backSpace();
    void newLine();
    void addMark(bool semiVoiced);
    void caretToEnd() { m_focus = 0; }

    std::u16string m_box;
    std::u16string m_committed;
    std::u16string m_pending;
    std::u16string m_lastConfirmed;
    std::vector<std::u16string> m_said;
    bool m_replaceLast = false;
    bool m_targetIsWord = true;
    int m_focus = 0;
};

} // namespace hiragana::testing
