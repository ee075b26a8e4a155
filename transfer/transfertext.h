#pragma once

#include <string>

namespace hiragana {

class Desktop;
struct Hiramod;

// The two targets of the menu: Microsoft Word (the choice at start) and the mail writer's window.
inline constexpr std::u16string_view MicrosoftWordTitle = u"Microsoft Word";
inline constexpr std::u16string_view MailWriterTitle = u"メールを\u3000書く";

// What the box says when a transfer could not deliver the text.
inline constexpr std::u16string_view NoTargetPrompt =
    u"転送先がありません\r\n\u3000※まずは新規のものを選択してみてください";
inline constexpr std::u16string_view NoTargetBoxTitle = u"入力エラー";
// An OK button alone, with the critical-stop icon.
inline constexpr int NoTargetBoxButtons = 16;

// The transfer key: brings the window titled TargetTitle to the front, lets the pending events
// run, then types CommittedText (as it is after those events) into that window. Nothing is typed
// unless the window took the keyboard focus. Any failed step ends in one message box; nothing of
// the keyboard's state is cleared, so the same text can go again.
void TransferText(Hiramod &state, Desktop &desktop);

} // namespace hiragana
