#pragma once

// GoogleTest and Qt first: Xlib's macros (Bool, None, Status …) would clash with them.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>

#include "keyboardmodel.h"
#include "programdriver.h"
#include "speechoutput.h"
#include "targetapps.h"
#include "transfertext.h"
#include "unicode.h"

#include <random>

namespace hiragana {

using namespace std::chrono_literals;
using driver::ProgramDriver;
using Effect = testing::KeyboardModel::Effect;

enum class Act { Click, Tab, BackTab, Space, Enter, Paste, ChooseWord, ChooseMail, MenuMail, Character };
struct Step { Act act; int key = 0; };

// The real program worked by a user through the X server, each step checked against an
// independent model of the keys: afterwards every key's face on screen is the model's, each
// transfer has arrived exactly, a box that says there is no target has shown and gone. There is
// no sound server (see main): what the character says goes to WAV files.
class Program : public ::testing::Test {
protected:
    Program() { setenv(SpeechWavDirVariable, dir("wav").c_str(), 1); }

    std::string dir(const char *name) const
    {
        std::filesystem::create_directories(m_directory.path() / name);
        return (m_directory.path() / name).string();
    }

    // Starts the program once target's window is up: the window manager gives the focus to the
    // window that maps last, and the keyboard must hold it.
    bool StartAfter(testing::TargetApp &target, const QStringList &environment = {})
    {
        return target.WaitUntilReady(program.connection()) && program.Start(environment);
    }

    // Does the step as a user, and to the model; false (the reason in failure) if they differ.
    bool Do(const Step &step)
    {
        const Effect effect = perform(step);
        return (failure.empty() && settle(effect))
            || fail("act " + std::to_string(int(step.act)) + " " + std::to_string(step.key) + ": " + failure);
    }
    bool Click(std::initializer_list<int> keys)
    {
        return std::ranges::all_of(keys, [this](int key) { return Do({Act::Click, key}); });
    }

    void Paste(const QString &text)
    {
        QGuiApplication::clipboard()->setText(text);
        ProgramDriver::ServeEvents(); // the program asks for the text at once
        program.Tap(XK_v, XK_Control_L);
        model.TypeIntoBox(text.toStdU16String());
        program.Ping(); // meanwhile the driver hands the text over
    }

    // The box that says there is no target shows; Return or Escape closes it; the keyboard is back.
    bool DismissNoTargetBox()
    {
        const auto box = program.Titled("入力エラー", 30s);
        if (box.empty() || !program.Activate(box.front()))
            return fail("no box says that there is no target");
        program.Tap(random() % 2 ? XK_Return : XK_Escape);
        return program.WaitUntil([this] { return program.Titled("入力エラー").empty(); }, 10s)
            && program.BackToKeyboard();
    }

    // The balloon shows, and the figure 75 twips right of the outer left edge and 840 below the top.
    bool CharacterSpeaks()
    {
        const QRect figure(program.FrameRect().topLeft() + QPoint(5, 56), QSize(64, 128));
        return program.WaitUntil([&] {
            const auto shown = program.UnmanagedWindows();
            return std::ranges::count(shown, figure) == 1 && shown.size() >= 2;
        }, 20s) || fail("the speech character does not show where it belongs");
    }

    // The composed text arrives whole in the mail writer (Ctrl+R); Ctrl+Q ends with status 0.
    void ExpectTextDeliveredAndQuit()
    {
        auto mail = testing::StartEditor(ToUtf8(MailWriterTitle), m_directory.path());
        ASSERT_TRUE(mail->WaitUntilReady(program.connection()) && program.BackToKeyboard());
        program.Tap(XK_r, XK_Control_L);
        program.ClickKey(67);
        const std::string whole = testing::AsReceived(model.Committed(), "\n");
        EXPECT_EQ(mail->WaitToReceive(whole), whole);
        ASSERT_TRUE(program.BackToKeyboard());
        program.Tap(XK_q, XK_Control_L);
        EXPECT_EQ(program.ExitCode(10s), 0);
    }

    bool fail(const std::string &reason)
    {
        failure = reason;
        return false;
    }

    std::mt19937 random{1};
    testing::TemporaryDirectory m_directory;
    ProgramDriver program;
    std::unique_ptr<testing::TargetApp> word; // titled "Microsoft Word"
    testing::KeyboardModel model;
    std::string failure;

private:
    Effect perform(const Step &step)
    {
        switch (step.act) {
        case Act::Click:
            if (!program.ClickKey(step.key))
                fail("the click did not go out");
            return model.Click(step.key);
        case Act::Tab: program.Tap(XK_Tab); model.Tab(); break;
        case Act::BackTab: program.Tap(XK_Tab, XK_Shift_L); model.BackTab(); break;
        case Act::Space: program.Tap(XK_space); return model.Press(u' ');
        case Act::Enter: program.Tap(random() % 2 ? XK_Return : XK_KP_Enter); return model.Press(u'\n');
        case Act::Paste: break; // what to paste is the test's choice
        case Act::ChooseWord: program.Tap(XK_w, XK_Control_L); model.ChooseWord(); break;
        case Act::ChooseMail: program.Tap(XK_r, XK_Control_L); model.ChooseMail(); break;
        case Act::MenuMail: chooseMailByMenu(); break;
        case Act::Character: CharacterSpeaks(); break;
        }
        return Effect::Nothing;
    }

    // ファイル drops down under a click at the menu bar's left end. Escape closes it and leaves
    // the focus in the menu bar, a second Escape gives it back; no face changes meanwhile. Opened
    // again, Right goes on to 転送先, where R is ふみばこメール(&R).
    bool chooseMailByMenu()
    {
        const QPoint menuBar = program.ClientRect().topLeft() + QPoint(20, program.menuBarHeight());
        const auto menuIs = [&](bool open, int leftOf = 0) { // a menu drops down from the bar, its left edge beyond
            const auto dropped = [&](const QRect &menu) { return menu.top() == menuBar.y() && menu.left() > leftOf; };
            const auto shown = [&] { return std::ranges::any_of(program.UnmanagedWindows(), dropped) == open; };
            return program.WaitUntil(shown, 10s);
        };
        const auto openMenu = [&] {
            return program.ClickAt(menuBar - QPoint(0, program.menuBarHeight() / 2), true) && menuIs(true);
        };
        if (!openMenu() || !facesAgree())
            return fail("the menu did not open, or a face changed: " + failure);
        program.Tap(XK_Escape);
        if (!menuIs(false) || !facesAgree())
            return fail("the menu did not close, or a face changed: " + failure);
        program.Tap(XK_Escape);
        if (!openMenu())
            return fail("the menu did not open again");
        program.Tap(XK_Right); // ファイル closes a moment before 転送先 opens, right of it
        if (!menuIs(true, menuBar.x()))
            return fail("Right did not go on to 転送先");
        program.Tap(XK_r);
        model.ChooseMail();
        return menuIs(false) || fail("ふみばこメール(&R) did not close the menu");
    }

    bool settle(Effect effect)
    {
        if (effect == Effect::TransferToNone)
            return DismissNoTargetBox();
        if (effect == Effect::TransferToTarget) {
            m_wordExpected += testing::AsReceived(model.Committed(), "\n");
            const std::string received = word->WaitToReceive(m_wordExpected);
            if (received != m_wordExpected)
                return fail("the transfers delivered\n" + received.substr(0, 300) + "\ninstead of\n"
                            + m_wordExpected.substr(0, 300));
            return program.BackToKeyboard() || fail("the keyboard did not come back");
        }
        return (program.Ping() || fail("the program stopped answering")) && facesAgree();
    }

    bool facesAgree()
    {
        std::string wrong;
        return program.WaitUntil([&] {
            const auto faces = program.Faces();
            wrong.clear();
            for (int key = 1; key <= testing::KeyboardModel::Keys; ++key) {
                if (faces[key - 1] != model.Face(key))
                    wrong += QStringLiteral(" %1 is %2").arg(key).arg(faces[key - 1], 6, 16).toStdString();
            }
            return wrong.empty();
        }, 5s) || fail("key faces:" + wrong);
    }

    std::string m_wordExpected;
};

} // namespace hiragana
