#include "FitCheck.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTableWidget>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>

namespace fitcheck {
namespace {

// A caption as drawn: the mnemonic marks are not shown ("&&" shows one ampersand).
QString shownText(QString text)
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

int linesOf(const QString& text)
{
    return int(text.count(QLatin1Char('\n'))) + 1;
}

QString nameOf(const QWidget* w)
{
    QString name = QString::fromLatin1(w->metaObject()->className());
    if (!w->objectName().isEmpty())
        name += QLatin1Char(' ') + w->objectName();
    return name;
}

QString fault(const QWidget* w, const QString& text, int need, int has, const char* what = "width")
{
    return QStringLiteral("%1 \"%2\": %3 %4 needed, %5 given")
        .arg(nameOf(w), text, QLatin1String(what))
        .arg(need)
        .arg(has);
}

// Widgets made inside Qt's own compound controls (a combo box's line edit, a scroll area's
// bars, a table's headers) are placed by those controls; only the program's own arrangement
// is checked for overlaps, the content of a scroll area included.
bool compound(const QWidget* w)
{
    return qobject_cast<const QAbstractScrollArea*>(w) || qobject_cast<const QComboBox*>(w)
        || qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QTabBar*>(w)
        || qobject_cast<const QToolBar*>(w) || qobject_cast<const QStatusBar*>(w)
        || qobject_cast<const QMenuBar*>(w) || w->objectName() == QLatin1String("qt_scrollarea_viewport");
}

bool arrangedByProgram(const QWidget* parent)
{
    if (compound(parent))
        return false;
    for (const QWidget* p = parent; !p->isWindow() && p->parentWidget(); p = p->parentWidget()) {
        const QWidget* up = p->parentWidget();
        if (up->objectName() == QLatin1String("qt_scrollarea_viewport"))
            return qobject_cast<const QScrollArea*>(up->parentWidget()) != nullptr;
        if (compound(up))
            return false;
    }
    return true;
}

bool isControl(const QWidget* w)
{
    return !w->isWindow() && w->objectName() != QLatin1String("qt_rubberband")
        && !w->objectName().startsWith(QLatin1String("qt_"));
}

void checkButton(const QAbstractButton* b, QStringList& out)
{
    const QString text = shownText(b->text());
    if (text.trimmed().isEmpty())
        return;
    const QFontMetrics fm = b->fontMetrics();
    QStyle* style = b->style();
    int need = widestLine(fm, text);
    if (!b->icon().isNull())
        need += b->iconSize().width() + 4;
    int needH = fm.height() * linesOf(text);
    if (qobject_cast<const QCheckBox*>(b)) {
        need += style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, b)
            + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, b);
    } else if (qobject_cast<const QRadioButton*>(b)) {
        need += style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, b)
            + style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, b);
    } else if (qobject_cast<const QPushButton*>(b) || qobject_cast<const QToolButton*>(b)) {
        const int frame = 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b);
        // What the style adds around a caption for a button's preferred size.
        need += style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b) + frame;
        needH += frame;
    }
    if (b->width() < need)
        out << fault(b, text, need, b->width());
    if (b->height() < needH)
        out << fault(b, text, needH, b->height(), "height");
}

void checkLabel(const QLabel* l, QStringList& out)
{
    if (l->text().trimmed().isEmpty() || l->textFormat() == Qt::RichText
        || (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(l->text())))
        return;
    const QString text = l->hasSelectedText() || !l->buddy() ? l->text() : shownText(l->text());
    const QFontMetrics fm = l->fontMetrics();
    const QRect inside = l->contentsRect();
    const int margin = l->margin() * 2 + std::max(0, l->indent());
    if (l->wordWrap()) {
        // A wrapped label needs the height its lines take at its width.
        const QRect need = fm.boundingRect(QRect(0, 0, inside.width() - margin, 100000),
                                           Qt::TextWordWrap | int(l->alignment()), text);
        if (need.width() > inside.width() - margin)
            out << fault(l, text, need.width() + margin, inside.width());
        if (need.height() > inside.height())
            out << fault(l, text, need.height(), inside.height(), "height");
        return;
    }
    const int need = widestLine(fm, text) + margin;
    if (inside.width() < need)
        out << fault(l, text, need + (l->width() - inside.width()), l->width());
    const int needH = fm.height() * linesOf(text);
    if (inside.height() < needH && inside.height() < fm.ascent() + fm.descent())
        out << fault(l, text, needH, inside.height(), "height");
}

void checkGroupBox(const QGroupBox* g, QStringList& out)
{
    const QString text = shownText(g->title());
    if (text.trimmed().isEmpty())
        return;
    QStyleOptionGroupBox opt;
    opt.initFrom(g);
    opt.text = g->title();
    opt.lineWidth = 1;
    opt.midLineWidth = 0;
    opt.textAlignment = g->alignment();
    opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    if (g->isCheckable())
        opt.subControls |= QStyle::SC_GroupBoxCheckBox;
    const QRect label = g->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g);
    const int need = g->fontMetrics().horizontalAdvance(text);
    // The label's room is what the style gives it within the frame.
    if (label.left() < 0 || label.right() >= g->width() || label.width() < need)
        out << fault(g, text, std::max(need, label.right() + 1 + std::max(0, label.left())), g->width());
}

void checkHeader(const QHeaderView* h, QStringList& out)
{
    const QAbstractItemModel* model = h->model();
    if (!model || !h->isVisible())
        return;
    const int count = h->count();
    const int margin = 2 * h->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, h);
    const QFontMetrics fm(h->font());
    for (int logical = 0; logical < count; ++logical) {
        if (h->isSectionHidden(logical) || h->sectionSize(logical) == 0)
            continue;
        const QString text = model->headerData(logical, h->orientation(), Qt::DisplayRole).toString();
        if (text.trimmed().isEmpty() || h->orientation() == Qt::Vertical)
            continue;
        const int need = widestLine(fm, text) + margin;
        if (h->sectionSize(logical) < need)
            out << fault(h, text, need, h->sectionSize(logical));
    }
}

// The cells of a table: each shown in full in its column (a table whose columns are set for
// its content; a column that stretches to the table's edge may cut only at that edge).
void checkTableCells(const QTableWidget* t, QStringList& out)
{
    const QFontMetrics fm(t->font());
    const int margin = 2 * (t->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, t) + 1);
    const int rows = std::min(t->rowCount(), 200);
    for (int c = 0; c < t->columnCount(); ++c) {
        if (t->isColumnHidden(c) || t->columnWidth(c) == 0)
            continue;
        int widest = 0;
        QString widestText;
        for (int r = 0; r < rows; ++r) {
            const QTableWidgetItem* item = t->item(r, c);
            if (!item)
                continue;
            const int w = fm.horizontalAdvance(item->text());
            if (w > widest) {
                widest = w;
                widestText = item->text();
            }
        }
        if (widest > 0 && t->columnWidth(c) < widest + margin)
            out << fault(t, widestText, widest + margin, t->columnWidth(c), "column width");
    }
}

void checkTabs(const QTabBar* bar, QStringList& out)
{
    const QFontMetrics fm = bar->fontMetrics();
    const int space = bar->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, bar);
    for (int i = 0; i < bar->count(); ++i) {
        const QString text = shownText(bar->tabText(i));
        if (text.isEmpty() || !bar->isTabVisible(i))
            continue;
        const int need = fm.horizontalAdvance(text) + space;
        if (bar->tabRect(i).width() < need)
            out << fault(bar, text, need, bar->tabRect(i).width());
    }
}

// Siblings arranged by the program that lie on one another, and controls reaching beyond the
// parent that shows them.
void checkSiblings(const QWidget* parent, QStringList& out)
{
    if (!arrangedByProgram(parent))
        return;
    QList<const QWidget*> shown;
    for (const QObject* o : parent->children()) {
        const auto* w = qobject_cast<const QWidget*>(o);
        if (w && isControl(w) && w->isVisible() && w->width() > 0 && w->height() > 0)
            shown << w;
    }
    const QRect area = parent->rect();
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const QRect a = shown[i]->geometry();
        if (!area.contains(a))
            out << QStringLiteral("%1 reaches beyond %2: %3,%4 %5x%6 in %7x%8")
                       .arg(nameOf(shown[i]), nameOf(parent))
                       .arg(a.x())
                       .arg(a.y())
                       .arg(a.width())
                       .arg(a.height())
                       .arg(area.width())
                       .arg(area.height());
        for (qsizetype j = i + 1; j < shown.size(); ++j) {
            const QRect b = shown[j]->geometry();
            if (a.intersects(b))
                out << QStringLiteral("%1 lies on %2").arg(nameOf(shown[i]), nameOf(shown[j]));
        }
    }
}

// What a window manager's frame takes around a window: borders and a title bar.
const QMargins kFrame(4, 28, 4, 4);

// A window's content needs no scrolling on the screen it opens on: the window lies within the
// screen's available area, frame included, and each of its scroll areas that hold the window's
// controls shows them whole at the window's size and would at the largest size the screen
// allows a framed window.
void checkScreenRoom(const QWidget* window, QStringList& out)
{
    const QScreen* screen = window->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QRect outer = window->frameGeometry();
    if (!available.contains(outer))
        out << QStringLiteral("window reaches beyond the screen: %1,%2 %3x%4 in %5x%6")
                   .arg(outer.x())
                   .arg(outer.y())
                   .arg(outer.width())
                   .arg(outer.height())
                   .arg(available.width())
                   .arg(available.height());
    const QSize room = available.size().shrunkBy(kFrame);
    for (const QScrollArea* area : window->findChildren<QScrollArea*>()) {
        if (!area->isVisible() || !area->widget() || area->window() != window)
            continue;
        const QSize need = area->widget()->minimumSizeHint().expandedTo(area->widget()->minimumSize());
        // The window's size beyond the scroll area's view stays the same at any window size.
        const QSize around = window->size() - area->viewport()->size();
        const QSize wanted = need + around;
        if (area->horizontalScrollBar()->maximum() > 0 || wanted.width() > room.width())
            out << fault(area, QStringLiteral("content"), wanted.width(), std::min(room.width(), window->width()), "window width");
        if (area->verticalScrollBar()->maximum() > 0 || wanted.height() > room.height())
            out << fault(area, QStringLiteral("content"), wanted.height(), std::min(room.height(), window->height()),
                         "window height");
    }
}

} // namespace

int titleNeed(const QWidget* window)
{
    QFont bold = window->font();
    bold.setBold(true);
    const QFontMetrics fm(bold);
    // Icon on the left, minimise, maximise and close on the right, and the frame's padding.
    const int buttons = 4 * (fm.height() + 8);
    return fm.horizontalAdvance(window->windowTitle()) + buttons + 16;
}

QStringList faults(const QWidget* window)
{
    QStringList out;
    if (!window->windowTitle().isEmpty() && window->width() < titleNeed(window))
        out << QStringLiteral("window title \"%1\": width %2 needed, %3 given")
                   .arg(window->windowTitle())
                   .arg(titleNeed(window))
                   .arg(window->width());
    checkScreenRoom(window, out);
    QList<const QWidget*> all{window};
    for (const QWidget* w : window->findChildren<QWidget*>())
        if (w->isVisible() && w->window() == window)
            all << w;
    for (const QWidget* w : all) {
        if (const auto* b = qobject_cast<const QAbstractButton*>(w)) {
            // The buttons of a tab bar's scroller and of a toolbar's extension are Qt's own.
            if (!qobject_cast<const QTabBar*>(w->parentWidget()) && !w->objectName().startsWith(QLatin1String("qt_")))
                checkButton(b, out);
        } else if (const auto* l = qobject_cast<const QLabel*>(w)) {
            checkLabel(l, out);
        } else if (const auto* g = qobject_cast<const QGroupBox*>(w)) {
            checkGroupBox(g, out);
        } else if (const auto* h = qobject_cast<const QHeaderView*>(w)) {
            checkHeader(h, out);
        } else if (const auto* bar = qobject_cast<const QTabBar*>(w)) {
            checkTabs(bar, out);
        }
        if (const auto* t = qobject_cast<const QTableWidget*>(w))
            checkTableCells(t, out);
        if (const auto* bar = qobject_cast<const QToolBar*>(w)) {
            // Actions pushed behind the toolbar's overflow button cannot be read.
            for (QAction* a : bar->actions())
                if (a->isVisible() && !a->isSeparator() && bar->widgetForAction(a)
                    && !bar->widgetForAction(a)->isVisible())
                    out << QStringLiteral("%1 hides \"%2\" behind its overflow").arg(nameOf(bar), a->text());
        }
        checkSiblings(w, out);
    }
    return out;
}

} // namespace fitcheck
