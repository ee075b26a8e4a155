#pragma once

#include "voice.h"

#include <memory>

namespace hiragana {

class SpeechWorker;

// The voice of the speech worker. Its answers arrive through the application's event loop,
// on the user-interface thread.
class EspeakVoice : public Voice {
public:
    explicit EspeakVoice(std::shared_ptr<SpeechWorker> worker);

    // Answers still on their way are dropped.
    ~EspeakVoice() override = default;

    void Say(const std::u16string &text, Said said) override;

private:
    std::shared_ptr<SpeechWorker> m_worker;
    std::shared_ptr<int> m_alive = std::make_shared<int>();
};

} // namespace hiragana
