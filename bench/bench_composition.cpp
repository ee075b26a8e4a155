// Cost of the editing keys on long texts, through the in-memory editor. Each operation reads
// and writes the whole text, so the cost grows with its length.
#include "engineharness.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using hiragana::testing::EngineHarness;

void startWithText(EngineHarness &h, const benchmark::State &state)
{
    h.startWith(std::u16string(static_cast<std::size_t>(state.range(0)), u'あ'));
}

void Confirm(benchmark::State &state)
{
    EngineHarness h;
    startWithText(h, state);
    for (auto _ : state) {
        h.engine.ChooseKana(u"か");
        h.engine.Confirm();
        // Take the kana away again behind the engine's back, so every round sees the same length.
        h.editor.text.pop_back();
        h.state.CommittedText.pop_back();
    }
}

// A marked kana replacing the last character: the trim and the append in one Confirm.
void ConfirmReplacing(benchmark::State &state)
{
    EngineHarness h;
    startWithText(h, state);
    for (auto _ : state) {
        h.engine.ChooseKana(u"が");
        h.state.ReplaceLast = 1;
        h.engine.Confirm();
    }
}

void BackSpace(benchmark::State &state)
{
    EngineHarness h;
    startWithText(h, state);
    for (auto _ : state) {
        h.engine.BackSpace();
        h.editor.text.push_back(u'あ');
    }
}

void BackSpaceLineBreak(benchmark::State &state)
{
    EngineHarness h;
    startWithText(h, state);
    for (auto _ : state) {
        h.editor.text.push_back(u'\r');
        h.editor.text.push_back(u'\n');
        h.engine.BackSpace();
    }
}

void textLengths(benchmark::internal::Benchmark *b)
{
    b->ArgName("codeUnits")->Arg(1'000)->Arg(32'767)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
}

BENCHMARK(Confirm)->Apply(textLengths);
BENCHMARK(ConfirmReplacing)->Apply(textLengths);
BENCHMARK(BackSpace)->Apply(textLengths);
BENCHMARK(BackSpaceLineBreak)->Apply(textLengths);

} // namespace
