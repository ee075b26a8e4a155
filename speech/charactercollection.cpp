#include "characterdata.h"
#include "characterwindows.h"
#include "espeakvoice.h"
#include "failure.h"
#include "queuedcharacter.h"
#include "speechcharacter.h"
#include "speechworker.h"

#include <QApplication>

#include <map>

namespace hiragana {

namespace {
using namespace std::chrono_literals;

// However short a text, its balloon stays long enough to be read.
constexpr std::chrono::milliseconds ShortestSpeech = 900ms;
// The classic run-time error for adding a key that a collection already holds.
constexpr int KeyInUse = 457;

// The characters on the screen, each speaking through the one speech worker.
class AnimatedCollection : public CharacterCollection {
public:
    void Load(const std::u16string &id, const std::u16string &loadKey) override
    {
        if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
            throw Failure(Failure::DeviceUnavailable, "Device unavailable");
        if (m_characters.contains(id))
            throw Failure(KeyInUse, "This key is already associated with an element of this collection");
        const CharacterData data = LoadCharacterData(loadKey);
        m_characters.emplace(id, std::make_unique<QueuedCharacter>(std::make_unique<CharacterWindows>(data),
                                                                   std::make_unique<EspeakVoice>(SpeechWorker::Shared()),
                                                                   ShortestSpeech));
    }

    Character &Item(const std::u16string &id) override
    {
        const auto it = m_characters.find(id);
        if (it == m_characters.end())
            throw Failure(Failure::ObjectRequired, "Object required");
        return *it->second;
    }

private:
    std::map<std::u16string, std::unique_ptr<QueuedCharacter>> m_characters;
};
} // namespace

std::unique_ptr<CharacterCollection> CreateCharacterCollection() { return std::make_unique<AnimatedCollection>(); }

} // namespace hiragana
