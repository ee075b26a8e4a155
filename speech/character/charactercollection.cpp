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

// The voice of the speech worker, started on the first text or when the character is
// prepared: starting it loads the synthesizer on a thread of its own.
class VoiceStartedOnDemand : public Voice {
public:
    void Start()
    {
        if (!m_voice)
            m_voice = std::make_unique<EspeakVoice>(SpeechWorker::Shared());
    }

    void Say(const std::u16string &text, Said said) override
    {
        Start();
        m_voice->Say(text, std::move(said));
    }

private:
    std::unique_ptr<Voice> m_voice;
};

// The characters on the screen, each speaking through the one speech worker. Loading checks
// the character's data at once; its windows and voice come when prepared or first needed.
class AnimatedCollection : public CharacterCollection {
public:
    void Load(const std::u16string &id, const std::u16string &loadKey) override
    {
        if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
            throw Failure(Failure::DeviceUnavailable, "Device unavailable");
        if (m_characters.contains(id))
            throw Failure(KeyInUse, "This key is already associated with an element of this collection");
        auto windows = std::make_unique<CharacterWindows>(LoadCharacterData(loadKey));
        auto voice = std::make_unique<VoiceStartedOnDemand>();
        Loaded loaded{windows.get(), voice.get(), nullptr};
        loaded.character = std::make_unique<QueuedCharacter>(std::move(windows), std::move(voice), ShortestSpeech);
        m_characters.emplace(id, std::move(loaded));
    }

    Character &Item(const std::u16string &id) override
    {
        const auto it = m_characters.find(id);
        if (it == m_characters.end())
            throw Failure(Failure::ObjectRequired, "Object required");
        return *it->second.character;
    }

    void Prepare() override
    {
        for (auto &[id, loaded] : m_characters) {
            loaded.windows->Build();
            loaded.voice->Start();
        }
    }

private:
    struct Loaded {
        // Both owned by the character.
        CharacterWindows *windows;
        VoiceStartedOnDemand *voice;
        std::unique_ptr<QueuedCharacter> character;
    };

    std::map<std::u16string, Loaded> m_characters;
};
} // namespace

std::unique_ptr<CharacterCollection> CreateCharacterCollection() { return std::make_unique<AnimatedCollection>(); }

} // namespace hiragana
