#pragma once

#include "connection.h"

#include <chrono>

namespace hiragana::x11 {

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
    bool ping();
    bool isAnswer(const XEvent &event) const;

    Connection &m_connection;
    Window m_target;
    std::chrono::milliseconds m_bound;
    std::chrono::milliseconds m_settleTime;
    bool m_answersPings;
    long m_stamp = 0;
};

} // namespace hiragana::x11
