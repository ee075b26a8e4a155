#include "pulseoutput.h"

#include "voicelibraries.h"

namespace hiragana {

namespace {
// A short server-side buffer keeps writing in step with playing, so that an utterance cut
// short at exit goes quiet at once.
constexpr pa_usec_t BufferedTime = 150'000;

pa_simple *OpenStream(int sampleRate)
{
    const PulseSimpleLibrary *pulse = PulseSimple();
    if (!pulse)
        return nullptr;
    const pa_sample_spec format{PA_SAMPLE_S16NE, std::uint32_t(sampleRate), 1};
    pa_buffer_attr buffer{};
    buffer.maxlength = std::uint32_t(-1);
    buffer.tlength = std::uint32_t(pulse->usecToBytes(BufferedTime, &format));
    buffer.prebuf = std::uint32_t(-1);
    buffer.minreq = std::uint32_t(-1);
    buffer.fragsize = std::uint32_t(-1);
    int error = 0;
    return pulse->open(nullptr, "Hiragana", PA_STREAM_PLAYBACK, nullptr, "speech", &format, nullptr, &buffer,
                       &error);
}
} // namespace

// A stream exists only once the library is loaded.
void PulseOutput::StreamDeleter::operator()(pa_simple *stream) const { PulseSimple()->free(stream); }

PulseOutput::PulseOutput(int sampleRate)
    : m_stream(OpenStream(sampleRate))
{
}

PulseOutput::~PulseOutput()
{
    int error = 0;
    if (m_stream && !m_finished)
        PulseSimple()->flush(m_stream.get(), &error);
}

void PulseOutput::Write(std::span<const std::int16_t> samples)
{
    int error = 0;
    if (m_stream && !samples.empty()
        && PulseSimple()->write(m_stream.get(), samples.data(), samples.size_bytes(), &error) < 0)
        m_stream.reset();
}

void PulseOutput::Finish()
{
    int error = 0;
    if (m_stream && PulseSimple()->drain(m_stream.get(), &error) < 0)
        m_stream.reset();
    m_finished = true;
}

} // namespace hiragana
