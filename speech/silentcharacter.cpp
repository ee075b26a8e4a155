#include "failure.h"
#include "speechcharacter.h"

#include <map>

// A stand-in component that accepts every request and drops it, until the real character lands.
namespace hiragana {

namespace {
class SilentCharacter : public Character {
public:
    void MoveTo(std::int16_t, std::int16_t) override {}
    void Show() override {}
    void Speak(const std::u16string &) override {}
    void Hide() override {}
};

class SilentCollection : public CharacterCollection {
public:
    void Load(const std::u16string &id, const std::u16string &) override { m_characters[id]; }
    Character &Item(const std::u16string &id) override
    {
        auto it = m_characters.find(id);
        if (it == m_characters.end())
            throw Failure(Failure::ObjectRequired, "Object required");
        return it->second;
    }

private:
    std::map<std::u16string, SilentCharacter> m_characters;
};
} // namespace

std::unique_ptr<CharacterCollection> CreateCharacterCollection()
{
    return std::make_unique<SilentCollection>();
}

} // namespace hiragana
