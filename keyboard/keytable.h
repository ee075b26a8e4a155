#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace hiragana {

enum class KeyRole {
    KanaKey,
    VoicedMark,
    SemiVoicedMark,
    BackSpace,
    NewLine,
    Confirm,
    Transfer,
    ReadAloud,
};

// Face colours as 0x00BBGGRR values.
namespace FaceColour {
inline constexpr std::uint32_t Yellow = 0x0080FFFF;
inline constexpr std::uint32_t Green = 0x00C0FFC0;
inline constexpr std::uint32_t Pink = 0x00FF80FF;
inline constexpr std::uint32_t Orange = 0x0080C0FF;
inline constexpr std::uint32_t Blue = 0x00FFC0C0;
inline constexpr std::uint32_t Focused = 0x000000FF;
} // namespace FaceColour

// One key of the on-screen keyboard. Geometry is in twips from the top-left corner of the
// window's client area.
struct KeyRecord {
    std::string_view name;      // "Command1" … "Command70"
    std::u16string_view caption;
    KeyRole role;
    std::u16string_view produces; // the string a KanaKey chooses; empty for command keys
    std::int16_t left;
    std::int16_t top;
    std::int16_t width;
    std::int16_t height;
    std::uint32_t faceColour;
    double fontPoints;
    int tabIndex;
    bool showsFocus;
};

// The seventy keys, in key-number order (KeyTable[0] is Command1).
extern const std::array<KeyRecord, 70> KeyTable;

} // namespace hiragana
