#pragma once
// The widget side of platform/ScreenFit: every top-level window calls openOnScreen once it
// has its design size (and again with its stored place, if it has one). When the window is
// shown and the window system has given it its frame, its outer rectangle is fitted onto the
// screens' available areas; later moves and resizes are the user's and stay as they are.

#include <QList>
#include <QRect>

#include <optional>

class QWidget;

namespace platform {

// The available areas of the screens (without task bars and docks), the primary's first.
QList<QRect> availableScreenAreas();

// Fits the window onto the screens when it opens. `outer` is where the window is to stand,
// frame included (a place read from the settings); without it the window's own size and the
// place the system gives it are fitted. Until the frame is known the window gets `outer` as
// its own geometry, so that a window that is never shown keeps exactly what it was given.
// A minimum size larger than the fitted size is lowered to it.
void openOnScreen(QWidget* window, std::optional<QRect> outer = std::nullopt);

// The outer rectangle openOnScreen last gave the window, while the window still stands where
// it was put (not moved or resized since). A frame that the window system added only later
// does not count as a change, so this is the place to store.
std::optional<QRect> untouchedPlace(const QWidget* window);

// The width a title bar needs to show the window's title in full: the title in the bold font
// title bars use, the icon and the three buttons.
int titleBarWidth(const QWidget* window);

// Widens a window narrower than its title needs (never beyond the screens' widest area), and
// keeps it at least that wide.
void fitTitle(QWidget* window);

} // namespace platform
