// Confirm on long texts: through the keyboard window's real text box (a click on the confirm
// key, as a user's click runs it), and through the in-memory editor, at the same lengths.
// "Painted" adds the pending events that follow the click: the text box's layout and paint.
// Run on an X server (scripts/with-xvfb).
#include "engineharness.h"
#include "hiragana.h"
#include "speechcharacter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

// Takes every request and does nothing: the text box alone is measured.
class SilentCharacter : public hiragana::Character {
public:
    void MoveTo(std::int16_t, std::int16_t) override {}
    void Show() override {}
    void Speak(const std::u16string &) override {}
    void Hide() override {}
};

class SilentCharacters : public hiragana::CharacterCollection {
public:
    void Load(const std::u16string &, const std::u16string &) override {}
    hiragana::Character &Item(const std::u16string &) override { return m_character; }

private:
    SilentCharacter m_character;
};

// The keyboard window, shown once for all runs and gone before the application.
struct Keyboard {
    Keyboard()
        : window(state, characters)
    {
        window.Load();
        window.show();
        QApplication::processEvents();
        choose = window.findChild<QPushButton *>(QStringLiteral("Command6")); // か
        confirm = window.findChild<QPushButton *>(QStringLiteral("Command65"));
    }

    // The text as if confirmed kana by kana: the caret at its end, laid out and painted.
    void startWith(const std::u16string &text)
    {
        window.editor().SetText(text);
        state.CommittedText = window.editor().Text();
        choose->click();
        confirm->click();
        // Whatever the box still does for the new text in idle time is done before timing.
        QElapsedTimer settling;
        settling.start();
        while (settling.elapsed() < 500)
            QApplication::processEvents();
    }

    hiragana::Hiramod state;
    SilentCharacters characters;
    hiragana::Hiragana window;
    QPushButton *choose = nullptr;
    QPushButton *confirm = nullptr;
};

std::unique_ptr<Keyboard> g_keyboard;

Keyboard &keyboard()
{
    if (!g_keyboard)
        g_keyboard = std::make_unique<Keyboard>();
    return *g_keyboard;
}

// range(0) code units in lines of range(1) kana each (CR LF after each line); 0: one paragraph.
// The text box lays a paragraph out as a whole, so its length, not the text's, drives the cost.
std::u16string textOf(const benchmark::State &state)
{
    const auto length = static_cast<std::size_t>(state.range(0));
    const auto line = static_cast<std::size_t>(state.range(1));
    std::u16string text;
    text.reserve(length);
    while (text.size() < length) {
        text += std::u16string(line ? line : length, u'あ');
        if (line)
            text += u"\r\n";
    }
    text.resize(length);
    return text;
}

void ConfirmInTextBox(benchmark::State &state, bool painted)
{
    Keyboard &k = keyboard();
    k.startWith(textOf(state));
    for (auto _ : state) {
        k.choose->click();
        const auto start = Clock::now();
        k.confirm->click();
        if (painted)
            QApplication::processEvents();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        if (!painted)
            QApplication::processEvents();
    }
}

void TextBox(benchmark::State &state) { ConfirmInTextBox(state, false); }
void TextBoxPainted(benchmark::State &state) { ConfirmInTextBox(state, true); }

void InMemory(benchmark::State &state)
{
    hiragana::testing::EngineHarness h;
    h.startWith(textOf(state));
    for (auto _ : state) {
        h.engine.ChooseKana(u"か");
        h.engine.Confirm();
    }
}

// Lines of 40 kana, then one long paragraph (which costs too much to go on to 1M).
void lengths(benchmark::internal::Benchmark *b)
{
    for (const int length : {1000, 32768, 100000, 1000000})
        b->Args({length, 40});
    for (const int length : {1000, 32768, 100000})
        b->Args({length, 0});
    b->Unit(benchmark::kMillisecond);
}
BENCHMARK(TextBox)->Apply(lengths)->UseManualTime()->Iterations(30);
BENCHMARK(TextBoxPainted)->Apply(lengths)->UseManualTime()->Iterations(30);
BENCHMARK(InMemory)->Apply(lengths)->Iterations(30);

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_keyboard.reset();
    return 0;
}
