#pragma once

#include "audiosink.h"

struct pa_simple;

namespace hiragana {

// Plays one utterance through the sound server (PulseAudio, or PipeWire's PulseAudio service)
// as a stream of its own. Without a server, or once the server goes away, it drops the samples;
// the next utterance tries again, so speech comes back when a server appears.
class PulseOutput : public AudioSink {
public:
    explicit PulseOutput(int sampleRate);
    ~PulseOutput() override;

    bool IsOpen() const { return m_stream != nullptr; }

    void Write(std::span<const std::int16_t> samples) override;
    void Finish() override;

private:
    struct StreamDeleter {
        void operator()(pa_simple *stream) const;
    };

    std::unique_ptr<pa_simple, StreamDeleter> m_stream;
    bool m_finished = false;
};

} // namespace hiragana
