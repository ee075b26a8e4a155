#pragma once

#include "failure.h"
#include "speechcharacter.h"

#include <string>
#include <vector>

namespace hiragana::testing {

// A speech character that writes every request into a log it shares with its collection.
class RecordingCharacter final : public Character {
public:
    explicit RecordingCharacter(std::vector<std::string> &log) : m_log(log) {}

    void MoveTo(std::int16_t x, std::int16_t y) override
    {
        m_log.push_back("MoveTo " + std::to_string(x) + " " + std::to_string(y));
    }
    void Show() override
    {
        m_log.push_back("Show");
        if (showFails) // a broken speech component
            throw Failure(Failure::DeviceUnavailable, "Device unavailable");
    }
    void Speak(const std::u16string &text) override
    {
        m_log.push_back("Speak");
        spoken.push_back(text);
    }
    void Hide() override { m_log.push_back("Hide"); }

    std::vector<std::u16string> spoken;
    bool showFails = false;

private:
    std::vector<std::string> &m_log;
};

// A collection that holds the one character "mic" once it is loaded.
struct RecordingCharacters final : CharacterCollection {
    void Load(const std::u16string &id, const std::u16string &loadKey) override
    {
        log.push_back("Load " + std::string(id.begin(), id.end()) + " " + std::string(loadKey.begin(), loadKey.end()));
        if (loadFails)
            throw Failure(Failure::FileNotFound, "File not found");
        loaded = true;
    }
    Character &Item(const std::u16string &id) override
    {
        log.push_back("Item");
        if (id != u"mic" || !loaded)
            throw Failure(Failure::ObjectRequired, "Object required");
        return mic;
    }

    std::vector<std::string> log;
    bool loadFails = false;
    bool loaded = false;
    RecordingCharacter mic{log};
};

} // namespace hiragana::testing
