#pragma once

#include "synthesizer.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

namespace hiragana {

// espeak-ng's Japanese voice. The library keeps global state, so one synthesiser at a time
// may hold it, and only the thread that made the synthesiser uses it.
class EspeakSynthesizer : public Synthesizer {
public:
    // Receives the samples as they are made; returning false stops the synthesis.
    using SampleSink = std::function<bool(std::span<const std::int16_t>)>;

    EspeakSynthesizer();
    ~EspeakSynthesizer() override;
    EspeakSynthesizer(const EspeakSynthesizer &) = delete;
    EspeakSynthesizer &operator=(const EspeakSynthesizer &) = delete;

    // 0 when the library or its Japanese voice could not be set up, or another synthesiser
    // holds the library.
    int SampleRate() const override { return m_sampleRate; }

    // Reads the text as SpeechChunks prepares it, with its pauses.
    bool Say(std::u16string_view text, Utterance &utterance) override;

private:
    bool IsReady() const { return m_sampleRate > 0; }
    // Synthesises UTF-8 text, handing the samples to sink until done or stopped.
    // Returns false when the synthesis did not run to its end.
    bool Synthesize(std::string_view text, const SampleSink &sink);

    bool m_holdsLibrary = false;
    int m_sampleRate = 0;
};

} // namespace hiragana
