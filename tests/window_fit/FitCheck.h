#pragma once
// What a user can read of a window: every caption, label, option, frame title, tab, column
// header and the window title shown in full, no control lying on another, and the window's
// content whole on its screen without scrolling.

#include <QString>
#include <QStringList>

class QWidget;

namespace fitcheck {

// The faults found in a shown top-level window and its controls, one line each naming the
// control, what its text needs and what it has.
QStringList faults(const QWidget* window);

// The width a window-manager title bar needs for the window's title: the title in a bold
// font, and room for the icon and the three buttons.
int titleNeed(const QWidget* window);

} // namespace fitcheck
