#pragma once

#include "audiosink.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace hiragana {

class Synthesizer;

// Makes the synthesiser a worker speaks with, on the worker's own thread, given espeak-ng's to
// fall back on and the flag that cuts the worker short; null to speak with espeak-ng alone.
using PreferredSynthesizer =
    std::function<std::unique_ptr<Synthesizer>(Synthesizer &fallback, const std::atomic_bool &cutShort)>;

// The thread that owns the voice: it says the texts handed to it one after the other,
// synthesising and playing each as a stream, so no text is ever held as a whole in memory.
class SpeechWorker {
public:
    // Called on the worker thread once the text has been said, with how long it lasts when heard.
    using Finished = std::function<void(std::chrono::milliseconds length)>;

    explicit SpeechWorker(AudioSinkFactory sinks, PreferredSynthesizer preferred = {});
    // Cuts the utterance under way short and drops the texts still waiting.
    ~SpeechWorker();
    SpeechWorker(const SpeechWorker &) = delete;
    SpeechWorker &operator=(const SpeechWorker &) = delete;

    void Submit(std::u16string text, Finished finished);

    // The worker of the program's characters (sound server, plus WAV files where asked for),
    // speaking with Open JTalk where it is installed, kept while anyone holds it.
    static std::shared_ptr<SpeechWorker> Shared();

private:
    struct Job {
        std::u16string text;
        Finished finished;
    };

    void Run();
    bool WaitForJob(Job &job);
    std::chrono::milliseconds Say(Synthesizer &synthesizer, const std::u16string &text);

    AudioSinkFactory m_sinks;
    PreferredSynthesizer m_preferred;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    bool m_stopping = false;
    std::atomic_bool m_cutShort{false};
    std::thread m_thread; // last, so that it starts once everything above exists
};

} // namespace hiragana
