#pragma once
// Where a top-level window opens: no larger than the screen it stands on and wholly on it.
// Pure rectangle arithmetic in pixels, so that every window (and its tests) shares one rule;
// the widget side is platform/QtUiScreenFit.

#include <QList>
#include <QRect>

namespace platform {

// The place of a window whose outer rectangle (frame included) is `window`, given the
// available areas of the screens, the primary screen's first. The window goes to the screen
// whose area it overlaps most (the earlier screen on a tie), or to the primary screen when
// it overlaps none; it is made no wider and no taller than that area and then moved the
// least distance that puts it wholly inside. Without screens, or for a window without a
// positive size, the rectangle comes back as it is.
QRect FitOnScreens(const QRect& window, const QList<QRect>& available);

} // namespace platform
