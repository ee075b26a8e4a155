// The text box editor on long texts: what a confirm (append one kana), a back-space (cut one)
// and a write that changes the text's start (replace all) cost, beside reading the text back.
#include "textbox.h"
#include "textboxeditor.h"


#include <benchmark/benchmark.h>

#include <string>

using namespace hiragana;

namespace {
std::u16string longText(std::size_t length)
{
    std::u16string text;
    while (text.size() < length)
        text += u"がっこう\r\n";
    text.resize(length);
    return text;
}

void BM_ConfirmAppendsOneKana(benchmark::State &state)
{
    TextBox box;
    TextBoxEditor editor(box);
    const std::u16string text = longText(std::size_t(state.range(0)));
    editor.SetText(text);
    for (auto _ : state) {
        editor.SetText(text + u"か");
        state.PauseTiming();
        editor.SetText(text);
        state.ResumeTiming();
    }
}

void BM_BackSpaceCutsOneKana(benchmark::State &state)
{
    TextBox box;
    TextBoxEditor editor(box);
    const std::u16string text = longText(std::size_t(state.range(0))) + u"か";
    const std::u16string shorter = text.substr(0, text.size() - 1);
    editor.SetText(text);
    for (auto _ : state) {
        editor.SetText(shorter);
        state.PauseTiming();
        editor.SetText(text);
        state.ResumeTiming();
    }
}

void BM_WriteReplacesAll(benchmark::State &state)
{
    TextBox box;
    TextBoxEditor editor(box);
    const std::u16string text = longText(std::size_t(state.range(0)));
    const std::u16string other = u"あ" + text;
    bool flip = false;
    for (auto _ : state) {
        editor.SetText(flip ? text : other);
        flip = !flip;
    }
}

void BM_ReadAfterTheUserTyped(benchmark::State &state)
{
    TextBox box;
    TextBoxEditor editor(box);
    editor.SetText(longText(std::size_t(state.range(0))));
    for (auto _ : state) {
        state.PauseTiming();
        box.insertPlainText(QStringLiteral("a"));
        state.ResumeTiming();
        benchmark::DoNotOptimize(editor.Text());
    }
}
} // namespace

BENCHMARK(BM_ConfirmAppendsOneKana)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BackSpaceCutsOneKana)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteReplacesAll)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadAfterTheUserTyped)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
