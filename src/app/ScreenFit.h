#pragma once
// Tool windows on screens smaller than their content (large scale factors, small laptops): the
// content goes into a scroll area whose least size is bounded by the screen. On a screen that
// holds the content nothing changes; on a smaller one the window fits and scrolls.

class QWidget;

namespace tesmar {

// Moves `window`'s layout and controls into a scroll area filling the window. The window keeps
// a fixed size when its layout had one.
void ScrollWhenScreenTooSmall(QWidget* window);

} // namespace tesmar
