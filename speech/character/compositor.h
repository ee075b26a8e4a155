#pragma once

namespace hiragana {

// True when a compositing manager draws the windows, so that transparent parts of a window
// show what lies beneath; without one they paint black and the window needs a shape.
bool CompositorRuns();

} // namespace hiragana
