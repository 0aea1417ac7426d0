#include "common/TabStopListWidget.h"

#include <QApplication>
#include <QFontMetrics>
#include <QListWidget>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTextOption>

namespace {

class TabStopDelegate : public QStyledItemDelegate {
public:
    TabStopDelegate(int tabStop, QObject* parent) : QStyledItemDelegate(parent), tabStop_(tabStop) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

        const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
        const QPalette::ColorGroup group = (opt.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        const QPalette::ColorRole role = (opt.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text;
        QTextOption textOption(Qt::AlignLeft | Qt::AlignVCenter);
        textOption.setWrapMode(QTextOption::NoWrap);
        textOption.setTabStopDistance(tabStop_);
        painter->save();
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(group, role));
        painter->drawText(QRectF(textRect), text, textOption);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        const QFontMetrics metrics(option.font);
        const QString text = index.data(Qt::DisplayRole).toString();
        const int width = metrics.size(Qt::TextSingleLine | Qt::TextExpandTabs, text, tabStop_).width() + 8;
        size.setWidth(qMax(size.width(), width));
        return size;
    }

private:
    int tabStop_;
};

} // namespace

int tabStopPixels(const QListWidget* list, int dialogUnits)
{
    return QFontMetrics(list->font()).averageCharWidth() * dialogUnits / 4;
}

void setTabStopRows(QListWidget* list, int tabPixels)
{
    list->setItemDelegate(new TabStopDelegate(tabPixels, list));
}

int tabStopRowsWidth(const QListWidget* list, int tabPixels, const QString& after)
{
    const QStyle* style = list->style();
    // A row's text stands this far inside the row on each side (QStyle's item view text rect).
    const int textMargin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
    return 2 * list->frameWidth() + 2 * textMargin + tabPixels + QFontMetrics(list->font()).horizontalAdvance(after)
           + style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
}
