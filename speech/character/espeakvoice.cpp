#include "espeakvoice.h"

#include "speechworker.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace hiragana {

EspeakVoice::EspeakVoice(std::shared_ptr<SpeechWorker> worker)
    : m_worker(std::move(worker))
{
}

void EspeakVoice::Say(const std::u16string &text, Said said)
{
    // The answer travels through the application's event queue to this thread; the weak
    // reference, checked there, drops it once this voice is gone.
    m_worker->Submit(text, [alive = std::weak_ptr<int>(m_alive), said = std::move(said)](std::chrono::milliseconds length) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [alive, said, length] {
                if (!alive.expired())
                    said(length);
            },
            Qt::QueuedConnection);
    });
}

} // namespace hiragana

