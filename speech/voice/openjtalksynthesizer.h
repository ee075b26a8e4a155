#pragma once

#include "openjtalkinstall.h"
#include "synthesizer.h"
#include "utterancecache.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace hiragana {

// Open JTalk, run as a child process per chunk of text (it has no library to link): the text
// on its standard input, a WAV stream on its standard output, the silence around the speech
// trimmed off. Whatever it cannot say (the program fails, hangs or writes no sound) is said by
// the fallback instead; after a hang, the rest of that utterance too. The sound of every
// single-key text is kept, so that a confirmed key sounds at once; a thread of low priority
// makes them all after Start.
class OpenJtalkSynthesizer : public Synthesizer {
public:
    struct Settings {
        OpenJtalkInstall install;
        // How long one chunk may take before the program counts as hung.
        std::chrono::milliseconds patience{5000};
        bool keepKeysReady = true;
    };

    // The fallback and the flag that cuts speech short outlive the synthesiser; the flag also
    // ends any child at once. Say runs on one thread only.
    OpenJtalkSynthesizer(Settings settings, Synthesizer &fallback, const std::atomic_bool &cutShort);
    ~OpenJtalkSynthesizer() override;
    OpenJtalkSynthesizer(const OpenJtalkSynthesizer &) = delete;
    OpenJtalkSynthesizer &operator=(const OpenJtalkSynthesizer &) = delete;

    // A first synthesis; true when it gave sound. Then the keys' sounds are made in the
    // background, when the settings ask for it.
    bool Start();

    int SampleRate() const override { return OpenJtalkSampleRate; }
    bool Say(std::u16string_view text, Utterance &utterance) override;

    const UtteranceCache &Cache() const { return m_cache; }
    // True once every single-key text's sound is kept (or the filling was stopped).
    bool CacheFilled() const { return m_cacheFilled; }

private:
    bool SayWithProcesses(std::u16string_view text, Utterance &utterance);
    void FillCache();

    Settings m_settings;
    Synthesizer &m_fallback;
    const std::atomic_bool &m_cutShort;
    UtteranceCache m_cache;
    std::atomic_bool m_stopFilling{false};
    std::atomic_bool m_cacheFilled{false};
    std::jthread m_filler; // last: stopped and joined first
};

// For the speech worker: Open JTalk where its program, dictionary and voice are installed and
// a first synthesis gives sound; null otherwise, so that espeak-ng speaks.
std::unique_ptr<Synthesizer> OpenJtalkIfInstalled(Synthesizer &fallback, const std::atomic_bool &cutShort);

} // namespace hiragana
