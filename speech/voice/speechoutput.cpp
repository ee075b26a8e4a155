#include "speechoutput.h"

#include "pulseoutput.h"
#include "wavwriter.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace hiragana {

namespace {
std::filesystem::path WavFileName(int number)
{
    char name[64];
    std::snprintf(name, sizeof name, "speech-%ld-%04d.wav", long(getpid()), number);
    return name;
}
} // namespace

AudioSinkFactory DefaultAudioSinks()
{
    const char *wavDir = std::getenv(SpeechWavDirVariable);
    std::filesystem::path folder = wavDir && *wavDir ? std::filesystem::path(wavDir) : std::filesystem::path();
    return [folder, count = 0](int sampleRate) mutable {
        AudioSinks sinks;
        if (auto speakers = std::make_unique<PulseOutput>(sampleRate); speakers->IsOpen())
            sinks.push_back(std::move(speakers));
        if (!folder.empty())
            sinks.push_back(std::make_unique<WavWriter>(folder / WavFileName(++count), sampleRate));
        return sinks;
    };
}

} // namespace hiragana
