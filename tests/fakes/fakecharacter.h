#pragma once

#include "failure.h"
#include "speechcharacter.h"

#include <string>
#include <utility>
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
        if (showFails)
            throw Failure(Failure::DeviceUnavailable, "Device unavailable");
    }
    void Speak(const std::u16string &text) override
    {
        m_log.push_back("Speak");
        spoken.push_back(text);
    }
    void Hide() override { m_log.push_back("Hide"); }

    std::vector<std::u16string> spoken;
    // Plays a broken speech component.
    bool showFails = false;

private:
    std::vector<std::string> &m_log;
};

// A collection that holds the one character "mic" once it is loaded.
class RecordingCharacters final : public CharacterCollection {
public:
    void Load(const std::u16string &id, const std::u16string &loadKey) override
    {
        log.push_back("Load");
        loaded.emplace_back(id, loadKey);
        if (loadFails)
            throw Failure(Failure::FileNotFound, "File not found");
    }
    Character &Item(const std::u16string &id) override
    {
        log.push_back("Item");
        if (id != u"mic" || loaded.empty())
            throw Failure(Failure::ObjectRequired, "Object required");
        return mic;
    }

    std::vector<std::string> log;
    std::vector<std::pair<std::u16string, std::u16string>> loaded;
    bool loadFails = false;
    RecordingCharacter mic{log};
};

} // namespace hiragana::testing
