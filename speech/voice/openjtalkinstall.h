#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace hiragana {

// What open_jtalk needs: the program, the folder of its dictionary and a voice file.
struct OpenJtalkInstall {
    std::filesystem::path program;
    std::filesystem::path dictionary;
    std::filesystem::path voice;

    // The command line after the program's name: the text comes on standard input and the
    // WAV stream, at OpenJtalkSampleRate, on standard output.
    std::vector<std::string> Arguments() const;
};

// Open JTalk's voices are made for 48 kHz; at lower rates the vowels go hoarse.
inline constexpr int OpenJtalkSampleRate = 48000;

// The program (looked up on the PATH), its dictionary and a voice where the distribution's
// packages put them (Debian: open-jtalk, open-jtalk-mecab-naist-jdic, and the voice
// hts-voice-nitech-jp-atr503-m001 from contrib), or beside the program; nothing unless all
// three are found.
std::optional<OpenJtalkInstall> FindOpenJtalk();

} // namespace hiragana
