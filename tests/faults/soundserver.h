#pragma once

#include "targetapps.h"

#include <filesystem>
#include <memory>
#include <string>

namespace hiragana::faults {

// A PulseAudio daemon of the test's own, playing into a null sink, reachable only at its own
// socket (PULSE_SERVER=address()). Stopped by its PID.
class SoundServer {
public:
    explicit SoundServer(std::filesystem::path directory);
    ~SoundServer();

    // Starts it; false if it did not answer in time.
    bool Start();
    // Kills it outright, as a crash would.
    void Kill();

    std::string address() const { return "unix:" + (m_directory / "native").string(); }
    // The number of streams playing now (pactl), -1 if the server does not answer.
    int PlayingStreams() const;

private:
    std::filesystem::path m_directory;
    std::unique_ptr<testing::ChildProcess> m_daemon;
};

} // namespace hiragana::faults
