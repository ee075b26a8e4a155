#pragma once

#include <string_view>

namespace hiragana {

class Utterance;

// A speech engine as the speech worker drives it, on the worker's thread.
class Synthesizer {
public:
    virtual ~Synthesizer() = default;

    // The rate its samples come at; 0 when it cannot speak at all.
    virtual int SampleRate() const = 0;

    // Says the text into the utterance, streaming its samples as they are made, until done or
    // the utterance is cut short. Returns false when some of it could not be said.
    virtual bool Say(std::u16string_view text, Utterance &utterance) = 0;
};

} // namespace hiragana
