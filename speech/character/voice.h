#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace hiragana {

// The voice a character speaks with. Say returns at once; said is called later from the
// calling thread's event loop (never from inside Say) with how long the text lasts when heard.
class Voice {
public:
    using Said = std::function<void(std::chrono::milliseconds length)>;

    virtual ~Voice() = default;

    virtual void Say(const std::u16string &text, Said said) = 0;
};

} // namespace hiragana
