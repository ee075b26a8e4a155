#pragma once

#include <string>

namespace hiragana {

// How the engine has a text said aloud. Returns at once; the speech happens later.
class Speaker {
public:
    virtual ~Speaker() = default;

    virtual void SayAloud(const std::u16string &text) = 0;
};

} // namespace hiragana
