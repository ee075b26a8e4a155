#pragma once

#include "targetapps.h"

#include <memory>
#include <string>

namespace hiragana::faults {

// An X server of the test's own (Xvfb) with openbox on it, for a program that is to lose its
// display. Both are stopped by their PIDs.
class PrivateDisplay {
public:
    explicit PrivateDisplay(const std::filesystem::path &directory);
    ~PrivateDisplay();

    // Empty if the server did not come up.
    const std::string &name() const { return m_name; }
    // Ends the X server, as logging out or a crash of the session would.
    void KillServer();

private:
    std::unique_ptr<testing::ChildProcess> m_server;
    std::unique_ptr<testing::ChildProcess> m_windowManager;
    std::string m_name;
};

} // namespace hiragana::faults
