#pragma once
// The small pieces every window is built with: a control put where the form drew it (its
// measures in twips, common/Twips.h), command buttons, and the room a caption or a window
// title needs in the window's fonts.

#include "common/Twips.h"

#include <QList>
#include <QString>
#include <QWidget>

class QPushButton;

namespace windowparts {

// A control made on parent with its object name: the name the window's code and its tests
// find it by.
template <class Control>
Control* makeNamed(QWidget* parent, const char* name)
{
    auto* control = new Control(parent);
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

// Puts the control at the form's rectangle.
void place(QWidget* widget, const TwipsRect& r);

// A command button with its object name and, when given, its tool tip.
QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption,
                        const QString& tip = QString());

// A command button that Enter never presses: in windows whose boxes take Enter.
QPushButton* makeQuietButton(QWidget* parent, const QString& name, const QString& caption,
                             const QString& tip = QString());

// The width a button, check box, option or label needs to show its caption in full in its
// own font, the style's frame and margins included.
int captionWidth(const QWidget* control);

// Gives every control the width of the widest caption among them where its drawn width is
// less, keeping each one's left edge; returns the width each one gained (0 when none was cut).
int widenToWidestCaption(const QList<QWidget*>& controls);

// Lines the controls up left to right, `gap` pixels apart, from the first one's left edge.
void spreadInRow(const QList<QWidget*>& controls, int gap);

} // namespace windowparts
