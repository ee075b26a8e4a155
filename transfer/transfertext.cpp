#include "transfertext.h"

#include "desktop.h"
#include "hiramod.h"

#include <exception>

namespace hiragana {

namespace {
// A step that throws has failed like one that reports failure: the transfer goes on past it.
template<typename Step>
bool succeeded(Step &&step)
{
    try {
        return step();
    } catch (const std::exception &) {
        return false;
    }
}
} // namespace

void TransferText(Hiramod &state, Desktop &desktop)
{
    const bool activated = succeeded([&] { return desktop.ActivateWindow(state.TargetTitle); });
    // Runs even after a failed activation; a click handled here may still change the text.
    desktop.ProcessPendingEvents();
    // Typing into whatever else holds the focus could set off anything there, so a failed
    // activation sends nothing.
    const bool sent = activated && succeeded([&] { return desktop.SendKeystrokes(state.CommittedText); });
    if (!sent)
        desktop.ShowMessageBox(std::u16string(NoTargetPrompt), NoTargetBoxButtons,
                               std::u16string(NoTargetBoxTitle));
}

} // namespace hiragana
