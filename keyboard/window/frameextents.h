#pragma once

#include <QMargins>

#include <optional>

class QWidget;

namespace hiragana {

// The frame that the window manager will put around a top-level window that is not mapped yet
// (_NET_REQUEST_FRAME_EXTENTS), in device-independent pixels. Creates the native window.
// Empty when the session is not X11 or the window manager does not answer in time.
std::optional<QMargins> RequestFrameExtents(QWidget &window);

} // namespace hiragana
