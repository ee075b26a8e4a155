#pragma once

#include <chrono>
#include <thread>

namespace hiragana::x11 {

// Polls condition until it holds (true) or bound has passed (false). Checks at least once.
template<typename Condition>
bool WaitUntil(Condition &&condition, std::chrono::milliseconds bound,
               std::chrono::milliseconds step = std::chrono::milliseconds(2))
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(step);
    }
}

} // namespace hiragana::x11
