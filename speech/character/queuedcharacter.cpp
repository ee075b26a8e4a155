#include "queuedcharacter.h"

#include <QMetaObject>

namespace hiragana {

QueuedCharacter::QueuedCharacter(std::unique_ptr<CharacterStage> stage, std::unique_ptr<Voice> voice,
                                 std::chrono::milliseconds shortestSpeech)
    : m_stage(std::move(stage))
    , m_voice(std::move(voice))
    , m_shortestSpeech(shortestSpeech)
{
    m_speechEnd.setSingleShot(true);
    connect(&m_speechEnd, &QTimer::timeout, this, &QueuedCharacter::FinishSpeaking);
}

QueuedCharacter::~QueuedCharacter() = default;

void QueuedCharacter::MoveTo(std::int16_t x, std::int16_t y) { Enqueue({Request::Kind::MoveTo, x, y, {}}); }

void QueuedCharacter::Show() { Enqueue({Request::Kind::Show, 0, 0, {}}); }

void QueuedCharacter::Speak(const std::u16string &text) { Enqueue({Request::Kind::Speak, 0, 0, text}); }

void QueuedCharacter::Hide() { Enqueue({Request::Kind::Hide, 0, 0, {}}); }

void QueuedCharacter::Enqueue(Request request)
{
    m_requests.push_back(std::move(request));
    ScheduleNext();
}

// The next request always starts from the event loop, never inside the call that made it or
// inside the end of the one before, so a long queue never deepens the stack.
void QueuedCharacter::ScheduleNext()
{
    if (m_busy || m_nextScheduled || m_requests.empty())
        return;
    m_nextScheduled = true;
    QMetaObject::invokeMethod(this, &QueuedCharacter::StartNext, Qt::QueuedConnection);
}

void QueuedCharacter::StartNext()
{
    m_nextScheduled = false;
    if (m_busy || m_requests.empty())
        return;
    m_busy = true;
    const Request request = std::move(m_requests.front());
    m_requests.pop_front();
    Perform(request);
}

void QueuedCharacter::Perform(const Request &request)
{
    switch (request.kind) {
    case Request::Kind::MoveTo:
        m_stage->MoveFigure(request.x, request.y);
        Finish();
        break;
    case Request::Kind::Show:
        m_stage->ShowFigure([this] { Finish(); });
        break;
    case Request::Kind::Speak:
        StartSpeaking(request.text);
        break;
    case Request::Kind::Hide:
        m_stage->HideFigure([this] { Finish(); });
        break;
    }
}

void QueuedCharacter::StartSpeaking(const std::u16string &text)
{
    m_balloonAtLeast = text.empty() ? std::chrono::milliseconds(0) : m_shortestSpeech;
    m_speakingFor.start();
    m_stage->StartTalking(text);
    m_voice->Say(text, [this](std::chrono::milliseconds length) { Said(length); });
}

// The voice is done; without sound it is done at once, and the balloon stays for as long as
// the text would have taken.
void QueuedCharacter::Said(std::chrono::milliseconds length)
{
    const auto shownFor = std::chrono::milliseconds(m_speakingFor.elapsed());
    const auto left = std::max(length, m_balloonAtLeast) - shownFor;
    if (left.count() > 0)
        m_speechEnd.start(left);
    else
        FinishSpeaking();
}

void QueuedCharacter::FinishSpeaking()
{
    m_stage->StopTalking();
    Finish();
}

void QueuedCharacter::Finish()
{
    m_busy = false;
    ScheduleNext();
}

} // namespace hiragana
