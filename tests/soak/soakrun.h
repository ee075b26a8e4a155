#pragma once

#include "keyboardmodel.h"

#include <chrono>
#include <deque>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace hiragana::driver {
class ProgramDriver;
}
namespace hiragana::testing {
class TargetApp;
}

namespace hiragana::soak {

using testing::KeyboardModel;

// A long run of random user actions on the real program, each checked against the model where
// the screen shows its outcome: every transfer must deliver exactly the model's text.
class SoakRun {
public:
    struct Settings {
        int actions = 20000;
        unsigned seed = 1;
        std::size_t bigPasteLength = 200000;
    };

    // word: a live window titled "Microsoft Word" that records what it receives, with line
    // breaks as wordLineBreak.
    SoakRun(driver::ProgramDriver &driver, testing::TargetApp &word, std::string wordLineBreak,
            const Settings &settings);

    // Runs every action; false at the first one whose outcome is not what the model says, with
    // the reason in failure().
    bool Run();

    const KeyboardModel &model() const { return m_model; }
    const std::string &failure() const { return m_failure; }
    // Resident memory of the program (KiB) after every twentieth of the actions.
    const std::vector<long> &memorySamples() const { return m_memory; }
    int transfersDelivered() const { return m_delivered; }
    int boxesDismissed() const { return m_boxes; }

private:
    enum class Action {
        ClickKana, ClickConfirm, ClickBackSpace, ClickNewLine, ClickVoiced, ClickSemiVoiced, ClickReadAloud,
        ClickTransfer, Tab, BackTab, Space, Enter, Type, Paste, ChooseWord, ChooseMail,
    };

    Action chooseAction();
    KeyboardModel::Effect perform(Action action);
    KeyboardModel::Effect carryOut(Action action);
    KeyboardModel::Effect click(int number);
    void paste(const std::u16string &text);
    bool settle(KeyboardModel::Effect effect);
    bool focusShows();
    bool boxHoldsModelText();
    bool fail(std::string reason);

    driver::ProgramDriver &m_driver;
    testing::TargetApp &m_word;
    std::string m_wordLineBreak;
    Settings m_settings;
    std::mt19937 m_random;
    KeyboardModel m_model;
    std::string m_wordExpected;
    std::string m_failure;
    std::vector<long> m_memory;
    // The last few actions, to tell what led to a failure.
    std::deque<std::string> m_recent;
    bool m_clickLost = false;
    int m_delivered = 0;
    int m_boxes = 0;
};

} // namespace hiragana::soak
