#pragma once

#include "desktop.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace hiragana::testing {

// A Desktop that records each step in order and answers as told.
class RecordingDesktop final : public Desktop {
public:
    enum class Answer { Succeed, Fail, Throw };

    struct Step {
        Step(std::string name, std::u16string text = {}, int buttons = 0, std::u16string boxTitle = {})
            : name(std::move(name)), text(std::move(text)), buttons(buttons), boxTitle(std::move(boxTitle))
        {
        }

        std::string name; // "activate", "events", "send" or "box"
        std::u16string text; // the title, the text sent or the prompt
        int buttons;
        std::u16string boxTitle;

        bool operator==(const Step &) const = default;
    };

    bool ActivateWindow(const std::u16string &title) override
    {
        steps.push_back({"activate", title});
        return answer(activation);
    }

    void ProcessPendingEvents() override
    {
        steps.push_back({"events"});
        if (duringEvents)
            duringEvents();
    }

    bool SendKeystrokes(const std::u16string &text) override
    {
        steps.push_back({"send", text});
        return answer(sending);
    }

    void ShowMessageBox(const std::u16string &prompt, int buttons, const std::u16string &title) override
    {
        steps.push_back({"box", prompt, buttons, title});
    }

    std::vector<std::string> names() const
    {
        std::vector<std::string> result;
        for (const Step &step : steps)
            result.push_back(step.name);
        return result;
    }

    Answer activation = Answer::Succeed;
    Answer sending = Answer::Succeed;
    // What the pending events do: clicks queued while the transfer started.
    std::function<void()> duringEvents;
    std::vector<Step> steps;

private:
    static bool answer(Answer how)
    {
        if (how == Answer::Throw)
            throw std::runtime_error("the desktop gave up");
        return how == Answer::Succeed;
    }
};

} // namespace hiragana::testing
