#pragma once

#include "keytable.h"

#include <string>
#include <string_view>
#include <vector>

namespace hiragana::testing {

// What the keyboard should do, worked out from its rules alone, independently of the program:
// the text box, the engine's copy of it, the pending and last confirmed strings, the
// replacement flag, what the speech character was asked to say, which control holds the focus,
// and the transfer target.
class KeyboardModel {
public:
    enum class Effect { Nothing, TransferToTarget, TransferToNone };

    // A mouse click: the key takes the focus, then does its work.
    Effect Click(const KeyRecord &key);
    // Space or Enter on whatever holds the focus: a key clicks, the text box gets the character.
    Effect PressSpace();
    Effect PressEnter();
    void Tab();
    void BackTab();
    // Typed or pasted straight into the text box, at its end (the caret is always there); a
    // line feed arrives as CR LF. Nothing happens unless the text box holds the focus.
    void TypeIntoBox(std::u16string_view text);
    // The user edited the text box by hand, anywhere in it, into this text.
    void EditBox(std::u16string text) { m_box = std::move(text); }
    void ChooseWord() { m_targetIsWord = true; }
    void ChooseMail() { m_targetIsWord = false; }

    bool BoxHasFocus() const { return m_focus == 0; }
    const KeyRecord *FocusedKey() const;
    const std::u16string &Box() const { return m_box; }
    const std::u16string &Committed() const { return m_committed; }
    const std::u16string &Pending() const { return m_pending; }
    const std::u16string &LastConfirmed() const { return m_lastConfirmed; }
    bool ReplacesLast() const { return m_replaceLast; }
    const std::vector<std::u16string> &Said() const { return m_said; }

private:
    Effect activate(const KeyRecord &key);
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
    // 0: the text box; otherwise the tab index of the key that holds the focus.
    int m_focus = 0;
};

} // namespace hiragana::testing
