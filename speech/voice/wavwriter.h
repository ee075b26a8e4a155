#pragma once

#include "audiosink.h"

#include <filesystem>
#include <fstream>

namespace hiragana {

// Writes an utterance as a 16-bit mono PCM WAV file, sample by sample as it comes.
class WavWriter : public AudioSink {
public:
    // Nothing is written when the file cannot be created.
    WavWriter(const std::filesystem::path &path, int sampleRate);
    ~WavWriter() override;

    void Write(std::span<const std::int16_t> samples) override;
    void Finish() override;

private:
    void WriteHeader();

    std::ofstream m_file;
    int m_sampleRate;
    std::uint32_t m_dataBytes = 0;
};

} // namespace hiragana
