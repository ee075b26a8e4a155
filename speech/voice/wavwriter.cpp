#include "wavwriter.h"

#include <limits>

namespace hiragana {

namespace {
constexpr std::uint32_t HeaderBytes = 44;
constexpr std::uint16_t Channels = 1;
constexpr std::uint16_t BitsPerSample = 16;
constexpr std::uint16_t BytesPerSample = BitsPerSample / 8;

void PutLittleEndian(std::ofstream &file, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        file.put(char((value >> (8 * i)) & 0xFF));
}
} // namespace

WavWriter::WavWriter(const std::filesystem::path &path, int sampleRate)
    : m_file(path, std::ios::binary | std::ios::trunc)
    , m_sampleRate(sampleRate)
{
    WriteHeader();
}

WavWriter::~WavWriter() { Finish(); }

void WavWriter::Write(std::span<const std::int16_t> samples)
{
    constexpr std::uint32_t limit = std::numeric_limits<std::uint32_t>::max() - HeaderBytes;
    if (!m_file || samples.size_bytes() > limit - m_dataBytes)
        return;
    for (std::int16_t sample : samples)
        PutLittleEndian(m_file, std::uint16_t(sample), BytesPerSample);
    m_dataBytes += std::uint32_t(samples.size_bytes());
}

void WavWriter::Finish()
{
    if (!m_file)
        return;
    m_file.seekp(0);
    WriteHeader();
    m_file.seekp(0, std::ios::end);
    m_file.flush();
}

void WavWriter::WriteHeader()
{
    const std::uint32_t byteRate = std::uint32_t(m_sampleRate) * Channels * BytesPerSample;
    m_file.write("RIFF", 4);
    PutLittleEndian(m_file, HeaderBytes - 8 + m_dataBytes, 4);
    m_file.write("WAVEfmt ", 8);
    PutLittleEndian(m_file, 16, 4); // size of the format block
    PutLittleEndian(m_file, 1, 2);  // PCM
    PutLittleEndian(m_file, Channels, 2);
    PutLittleEndian(m_file, std::uint32_t(m_sampleRate), 4);
    PutLittleEndian(m_file, byteRate, 4);
    PutLittleEndian(m_file, Channels * BytesPerSample, 2);
    PutLittleEndian(m_file, BitsPerSample, 2);
    m_file.write("data", 4);
    PutLittleEndian(m_file, m_dataBytes, 4);
}

} // namespace hiragana
