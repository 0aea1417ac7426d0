#include "scenarios/PathBoxWidget.h"

#include <QPainter>
#include <QStyle>

#include <algorithm>

PathBoxWidget::PathBoxWidget(QWidget* parent) : QLabel(parent)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
}

int PathBoxWidget::heightForWidth(int width) const
{
    const QMargins around = contentsMargins();
    const int inside = std::max(1, width - around.left() - around.right() - 2 * margin());
    const int lines = fontMetrics().boundingRect(QRect(0, 0, inside, 1 << 20), kTextFlags, text()).height();
    return std::max(lines, fontMetrics().height()) + around.top() + around.bottom() + 2 * margin();
}

QSize PathBoxWidget::minimumSizeHint() const
{
    const QMargins around = contentsMargins();
    return {fontMetrics().averageCharWidth() * 4 + around.left() + around.right(),
            fontMetrics().height() + around.top() + around.bottom()};
}

void PathBoxWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawFrame(&painter);
    style()->drawItemText(&painter, contentsRect().marginsRemoved(QMargins(margin(), margin(), margin(), margin())),
                          kTextFlags, palette(), isEnabled(), text(), foregroundRole());
}
