#pragma once

#include <stdexcept>
#include <string>

namespace hiragana {

// An error that no handler catches: its number and text are shown to the user and the
// program ends. The numbers follow the classic run-time error numbers users may know.
class Failure : public std::runtime_error {
public:
    enum Number : int {
        Overflow = 6,
        FileNotFound = 53,
        DeviceUnavailable = 68,
        ObjectRequired = 424,
    };

    Failure(int number, const std::string &text)
        : std::runtime_error(text)
        , m_number(number)
    {
    }

    int number() const noexcept { return m_number; }

private:
    int m_number;
};

} // namespace hiragana
