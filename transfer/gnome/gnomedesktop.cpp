#include "gnomedesktop.h"

#include "shelltransfer.h"
#include "titlematch.h"
#include "typedcharacters.h"

#include <QByteArrayList>
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>
#include <vector>

namespace hiragana::gnome {

namespace {
using namespace std::chrono_literals;

// For the target to take the focus once the shell has been asked to activate it.
constexpr auto FocusBound = 3s;
// For a focused target's client to take up text input: a program that never does (Qt 6.4 on
// Wayland has no text input) gets the box this long after it took the focus.
constexpr auto TextInputBound = 1s;
constexpr auto PollStep = 10ms;

// The text as the extension types it, a line break (CR LF, CR or LF) as "\n", the Return key;
// and how many characters that is.
struct TypedText {
    QString text;
    qsizetype characters;
};

TypedText typedText(const std::u16string &text)
{
    std::vector<char32_t> characters = TypedCharacters(text);
    std::replace(characters.begin(), characters.end(), U'\r', U'\n');
    const auto count = qsizetype(characters.size());
    return {QString::fromUcs4(characters.data(), count), count};
}

// The shell types each line break alone and each line in runs of at most 200 characters, and
// waits up to 150 ms after each; allow twice that.
std::chrono::milliseconds typingBound(const TypedText &typed)
{
    const auto lineBreaks = typed.text.count(QLatin1Char('\n'));
    const auto steps = 2 * lineBreaks + typed.characters / 200 + 1;
    return 5s + steps * 300ms;
}

class GnomeDesktop final : public Desktop {
public:
    explicit GnomeDesktop(std::unique_ptr<Desktop> x11Desktop)
        : m_x11(std::move(x11Desktop))
    {
    }

    bool ActivateWindow(const std::u16string &title) override
    {
        m_target.reset();
        const auto windows = m_shell.ListWindows();
        const std::optional<ShellWindow> chosen = windows ? choose(*windows, title) : std::nullopt;
        // Without the extension, and for an X11 program's window, the X11 desktop does it all.
        m_throughX11 = !windows || (chosen && !chosen->isWayland);
        if (m_throughX11)
            return m_x11->ActivateWindow(title);
        if (!chosen || !m_shell.Activate(chosen->id) || !waitForTextFocus(chosen->id))
            return false;
        m_target = chosen->id;
        return true;
    }

    void ProcessPendingEvents() override { m_x11->ProcessPendingEvents(); }

    bool SendKeystrokes(const std::u16string &text) override
    {
        if (m_throughX11)
            return m_x11->SendKeystrokes(text);
        if (!m_target)
            return false;
        const TypedText typed = typedText(text);
        const TypingResult result = m_shell.Type(*m_target, typed.text, typingBound(typed));
        return result.complete && result.delivered == typed.characters;
    }

    void ShowMessageBox(const std::u16string &prompt, int buttons, const std::u16string &title) override
    {
        m_x11->ShowMessageBox(prompt, buttons, title);
    }

private:
    static std::optional<ShellWindow> choose(const std::vector<ShellWindow> &windows, const std::u16string &title)
    {
        std::vector<TitledWindow<char16_t>> titled;
        for (std::size_t index = 0; index < windows.size(); ++index)
            titled.push_back({index, windows[index].title});
        const auto index = ChooseTarget(titled, title);
        if (!index)
            return std::nullopt;
        return windows[*index];
    }

    // Waits until window holds the focus and its client takes text input.
    bool waitForTextFocus(quint64 window) const
    {
        const auto deadline = std::chrono::steady_clock::now() + FocusBound;
        std::optional<std::chrono::steady_clock::time_point> focusedSince;
        for (;;) {
            const auto focus = m_shell.Focus();
            if (!focus)
                return false;
            const auto now = std::chrono::steady_clock::now();
            if (focus->window == window && focus->acceptsText)
                return true;
            if (focus->window == window && !focusedSince)
                focusedSince = now;
            if (now >= deadline || (focusedSince && now - *focusedSince >= TextInputBound))
                return false;
            std::this_thread::sleep_for(PollStep);
        }
    }

    std::unique_ptr<Desktop> m_x11;
    ShellTransfer m_shell;
    std::optional<quint64> m_target; // the native window that ActivateWindow brought to the front
    bool m_throughX11 = false; // the transfer goes through x11Desktop
};
} // namespace

bool IsGnomeOnWayland()
{
    const QByteArrayList desktops = qgetenv("XDG_CURRENT_DESKTOP").split(':');
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && desktops.contains("GNOME");
}

std::unique_ptr<Desktop> CreateGnomeDesktop(std::unique_ptr<Desktop> x11Desktop)
{
    return std::make_unique<GnomeDesktop>(std::move(x11Desktop));
}

} // namespace hiragana::gnome
