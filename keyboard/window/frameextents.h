#pragma once

#include <QMargins>

#include <chrono>
#include <memory>
#include <optional>

class QWidget;

namespace hiragana {

// The frame that the window manager will put around a top-level window that is not mapped yet,
// asked for early (_NET_REQUEST_FRAME_EXTENTS) so that the window can be built while the window
// manager answers. Only a window manager that says it supports the request is asked: without
// one the window gets no frame, and there is nothing to wait for.
class FrameExtentsRequest {
public:
    // How long the window manager has to answer, counted from the request.
    static constexpr std::chrono::milliseconds AnswerTimeout{300};

    // Creates the window's native window and sends the request. Does nothing outside X11.
    explicit FrameExtentsRequest(QWidget &window);
    ~FrameExtentsRequest();
    FrameExtentsRequest(const FrameExtentsRequest &) = delete;
    FrameExtentsRequest &operator=(const FrameExtentsRequest &) = delete;

    // The frame in device-independent pixels, once the window manager has set it on the window.
    // Empty at once when it was not asked, and empty when it does not answer in time.
    std::optional<QMargins> Answer();

private:
    class PendingAnswer;

    QWidget &m_window;
    std::unique_ptr<PendingAnswer> m_answer;
};

} // namespace hiragana
