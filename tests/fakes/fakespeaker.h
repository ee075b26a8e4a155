#pragma once

#include "speaker.h"

#include <functional>
#include <string>
#include <vector>

namespace hiragana::testing {

// Records every text it is asked to say. onSay, if set, runs first: a test can look at the
// world at the moment of speaking, or throw to play a failing speech component.
class FakeSpeaker final : public Speaker {
public:
    void SayAloud(const std::u16string &text) override
    {
        if (onSay)
            onSay(text);
        said.push_back(text);
    }

    std::vector<std::u16string> said;
    std::function<void(const std::u16string &)> onSay;
};

} // namespace hiragana::testing
