// TransferText against a desktop that records its steps and fails as told: what a real desktop
// cannot be made to do on demand.
#include "desktop.h"
#include "hiramod.h"
#include "transfertext.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

using namespace hiragana;

namespace {

enum class Answer { Succeed, Fail, Throw };

struct RecordingDesktop final : Desktop {
    bool ActivateWindow(const std::u16string &title) override { return step(u"activate " + title, activation); }
    void ProcessPendingEvents() override
    {
        steps.push_back(u"events");
        duringEvents();
    }
    bool SendKeystrokes(const std::u16string &text) override { return step(u"send " + text, sending); }
    void ShowMessageBox(const std::u16string &prompt, int buttons, const std::u16string &title) override
    {
        const std::string number = std::to_string(buttons);
        steps.push_back(u"box " + title + u" " + std::u16string(number.begin(), number.end()) + u" " + prompt);
    }
    bool step(const std::u16string &step, Answer answer)
    {
        steps.push_back(step);
        if (answer == Answer::Throw)
            throw std::runtime_error("the desktop gave up");
        return answer == Answer::Succeed;
    }

    Answer activation = Answer::Succeed;
    Answer sending = Answer::Succeed;
    std::function<void()> duringEvents = [] {};
    std::vector<std::u16string> steps;
};

const std::u16string Activate = u"activate メールを\u3000書く";
const std::u16string Box = u"box 入力エラー 16 転送先がありません\r\n\u3000※まずは新規のものを選択してみてください";

TEST(TransferText, SendsTheTextAsThePendingEventsLeftIt)
{
    Hiramod state;
    state.CommittedText = u"がっこう\r\n";
    state.TargetTitle = u"メールを\u3000書く";
    RecordingDesktop desktop;
    // A click on "かくてい" that waited in the queue while the transfer started.
    desktop.duringEvents = [&] { state.CommittedText += u"へ"; };

    TransferText(state, desktop);

    EXPECT_EQ(desktop.steps, (std::vector<std::u16string>{Activate, u"events", u"send がっこう\r\nへ"}));
}

// However a step fails, the events still run, nothing is typed after a failed activation, and
// one box says so.
TEST(TransferText, AnyFailureEndsInOneBox)
{
    const std::u16string send = u"send あ";
    const struct {
        Answer activation, sending;
        std::vector<std::u16string> steps;
    } cases[]{
        {Answer::Fail, Answer::Succeed, {Activate, u"events", Box}},
        {Answer::Throw, Answer::Succeed, {Activate, u"events", Box}},
        {Answer::Succeed, Answer::Fail, {Activate, u"events", send, Box}},
        {Answer::Succeed, Answer::Throw, {Activate, u"events", send, Box}},
        {Answer::Fail, Answer::Fail, {Activate, u"events", Box}},
    };
    for (const auto &c : cases) {
        Hiramod state;
        state.CommittedText = u"あ";
        state.TargetTitle = u"メールを\u3000書く";
        RecordingDesktop desktop;
        desktop.activation = c.activation;
        desktop.sending = c.sending;
        TransferText(state, desktop);
        EXPECT_EQ(desktop.steps, c.steps);
    }
}

} // namespace
