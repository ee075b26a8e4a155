#pragma once

#include "characterstage.h"
#include "speechcharacter.h"
#include "voice.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <deque>
#include <memory>

namespace hiragana {

// A character that takes every request at once and carries the requests out one after the
// other, driven by the event loop: each waits for the one before it to end (an animation, or
// the time the text takes to say), and none is ever waited for by the caller.
class QueuedCharacter : public QObject, public Character {
public:
    // A text stays in its balloon at least this long, however quickly it is said.
    QueuedCharacter(std::unique_ptr<CharacterStage> stage, std::unique_ptr<Voice> voice,
                    std::chrono::milliseconds shortestSpeech);
    ~QueuedCharacter() override;

    void MoveTo(std::int16_t x, std::int16_t y) override;
    void Show() override;
    void Speak(const std::u16string &text) override;
    void Hide() override;

private:
    struct Request {
        enum class Kind { MoveTo, Show, Speak, Hide } kind;
        std::int16_t x = 0;
        std::int16_t y = 0;
        std::u16string text;
    };

    void Enqueue(Request request);
    void ScheduleNext();
    void StartNext();
    void Perform(const Request &request);
    void StartSpeaking(const std::u16string &text);
    void Said(std::chrono::milliseconds length);
    void FinishSpeaking();
    void Finish();

    std::unique_ptr<CharacterStage> m_stage;
    std::unique_ptr<Voice> m_voice;
    std::chrono::milliseconds m_shortestSpeech;
    std::deque<Request> m_requests;
    bool m_busy = false;
    bool m_nextScheduled = false;
    QElapsedTimer m_speakingFor;
    std::chrono::milliseconds m_balloonAtLeast{0};
    QTimer m_speechEnd;
};

} // namespace hiragana
