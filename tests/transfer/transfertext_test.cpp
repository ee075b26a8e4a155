// TransferText against a desktop that records its steps and fails as told: what no real desktop
// can be made to do on demand.
#include "desktop.h"
#include "hiramod.h"
#include "transfertext.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

using namespace hiragana;

namespace {

enum class Answer { Succeed, Fail, Throw };

struct RecordingDesktop final : Desktop {
    bool ActivateWindow(const std::u16string &title) override { return step(u"activate " + title, activation); }
    void ProcessPendingEvents() override { step(u"events", Answer::Succeed); }
    bool SendKeystrokes(const std::u16string &text) override { return step(u"send " + text, sending); }
    void ShowMessageBox(const std::u16string &prompt, int buttons, const std::u16string &title) override
    {
        step(u"box " + title + (buttons == 16 ? u" 16 " : u" ? ") + prompt, Answer::Succeed);
    }
    bool step(const std::u16string &step, Answer answer)
    {
        steps.push_back(step);
        if (step == u"events")
            duringEvents();
        if (answer == Answer::Throw)
            throw std::runtime_error("the desktop gave up");
        return answer == Answer::Succeed;
    }

    Answer activation = Answer::Succeed;
    Answer sending = Answer::Succeed;
    std::function<void()> duringEvents = [] {};
    std::vector<std::u16string> steps;
};

// However a step fails, the events still run, nothing is typed after a failed activation, and
// one box says so. The text is read after the events: a click on "かくてい" may have waited there.
TEST(TransferText, SendsTheTextAsThePendingEventsLeftItOrEndsInOneBox)
{
    const std::u16string activate = u"activate メールを\u3000書く", send = u"send がっこう\r\nへ",
                         box = u"box 入力エラー 16 転送先がありません\r\n\u3000※まずは新規のものを選択してみてください";
    const struct {
        Answer activation, sending;
        std::vector<std::u16string> steps;
    } cases[]{
        {Answer::Succeed, Answer::Succeed, {activate, u"events", send}},
        {Answer::Fail, Answer::Succeed, {activate, u"events", box}},
        {Answer::Throw, Answer::Succeed, {activate, u"events", box}},
        {Answer::Succeed, Answer::Fail, {activate, u"events", send, box}},
        {Answer::Succeed, Answer::Throw, {activate, u"events", send, box}},
    };
    for (const auto &c : cases) {
        Hiramod state;
        state.CommittedText = u"がっこう\r\n";
        state.TargetTitle = u"メールを\u3000書く";
        RecordingDesktop desktop;
        desktop.activation = c.activation;
        desktop.sending = c.sending;
        desktop.duringEvents = [&] { state.CommittedText += u"へ"; };
        TransferText(state, desktop);
        EXPECT_EQ(desktop.steps, c.steps);
    }
}

} // namespace
