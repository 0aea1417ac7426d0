#include "common/WindowPartsWidgets.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include <algorithm>

namespace windowparts {

namespace {

// A caption as drawn: the mnemonic marks are not shown.
QString shownCaption(QString text)
{
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

int widestLine(const QFontMetrics& fm, const QString& text)
{
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, fm.horizontalAdvance(line));
    return widest;
}

} // namespace

void place(QWidget* widget, const TwipsRect& r)
{
    widget->setGeometry(toPixels(r.Left), toPixels(r.Top), toPixels(r.Width), toPixels(r.Height));
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption, const QString& tip)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    if (!tip.isEmpty())
        button->setToolTip(tip);
    return button;
}

QPushButton* makeQuietButton(QWidget* parent, const QString& name, const QString& caption, const QString& tip)
{
    QPushButton* button = makeButton(parent, name, caption, tip);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

int captionWidth(const QWidget* control)
{
    const QFontMetrics fm = control->fontMetrics();
    QStyle* style = control->style();
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        const int frame = label->width() - label->contentsRect().width();
        return widestLine(fm, label->text()) + 2 * label->margin() + std::max(0, label->indent()) + frame;
    }
    const auto* button = qobject_cast<const QAbstractButton*>(control);
    if (!button)
        return control->width();
    int need = widestLine(fm, shownCaption(button->text()));
    if (!button->icon().isNull())
        need += button->iconSize().width() + 4;
    if (qobject_cast<const QCheckBox*>(control)) {
        need += style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, control)
            + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, control);
    } else if (qobject_cast<const QRadioButton*>(control)) {
        need += style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, control)
            + style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, control);
    } else {
        // Room on both sides of the caption, so that it never touches the frame.
        need += 2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, control)
            + 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, control);
    }
    return need;
}

int widenToWidestCaption(const QList<QWidget*>& controls)
{
    int need = 0;
    int drawn = 0;
    for (const QWidget* c : controls) {
        need = std::max(need, captionWidth(c));
        drawn = std::max(drawn, c->width());
    }
    if (need <= drawn)
        return 0;
    for (QWidget* c : controls)
        c->resize(std::max(need, c->width()), c->height());
    return need - drawn;
}

void spreadInRow(const QList<QWidget*>& controls, int gap)
{
    if (controls.isEmpty())
        return;
    int x = controls.first()->x();
    for (QWidget* c : controls) {
        c->move(x, c->y());
        x += c->width() + gap;
    }
}

} // namespace windowparts
