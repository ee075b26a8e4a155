#pragma once

#include "connection.h"

#include <chrono>
#include <functional>

namespace hiragana::x11 {

// Sends window a _NET_WM_PING and waits, at most bound, for its answer: true once the program
// behind it has handled every event sent to it before. stamp tells this ping's answer from
// earlier ones; use a new one each time. A caller whose own event loop must go on meanwhile
// (the program may be waiting for it, say for the clipboard) passes it as whileWaiting, which
// is then called every few milliseconds.
bool PingWindow(Connection &connection, Window window, long stamp, std::chrono::milliseconds bound,
                const std::function<void()> &whileWaiting = {});

// Tells when the target has handled every key sent to it so far, so that the keymap can change
// again without the target reading the new one for the old keys. A target that answers
// _NET_WM_PING has handled all earlier events once its answer arrives; for any other, a settle
// time measured for common terminals has to do.
class TargetSync {
public:
    TargetSync(Connection &connection, Window target, std::chrono::milliseconds bound,
               std::chrono::milliseconds settleTime);

    bool answersPings() const { return m_answersPings; }
    // False when a target that answers pings did not answer within the bound.
    bool WaitUntilProcessed();

private:
    Connection &m_connection;
    Window m_target;
    std::chrono::milliseconds m_bound;
    std::chrono::milliseconds m_settleTime;
    bool m_answersPings;
    long m_stamp = 0;
};

} // namespace hiragana::x11
