#include "common/FolderTreeWidget.h"

#include "common/GameReference.h"
#include "common/Wildcard.h"

#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>

#include <algorithm>

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kWideStep = 16;  // a row's step in from the one above, where the list has room
constexpr int kReadableStep = 8; // the narrowest step made for the names on the way
constexpr int kNarrowStep = 3;   // the narrowest step that still shows the way

QString joined(const QString& folder, const QString& name)
{
    if (folder.endsWith(QLatin1Char('\\')) || folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('\\') + name;
}

QStringList namesOf(const QString& path)
{
    static const QRegularExpression separators(QStringLiteral("[\\\\/]"));
    return path.split(separators, Qt::SkipEmptyParts);
}

// The names of target below folder (both where they lead); false when it is not below it.
bool namesBelow(const QString& folder, const QString& target, QStringList& names)
{
    if (folder == QLatin1String("/")) {
        names = namesOf(target);
        return target.startsWith(QLatin1Char('/'));
    }
    if (target == folder) {
        names.clear();
        return true;
    }
    if (!target.startsWith(folder + QLatin1Char('/')))
        return false;
    names = namesOf(target.mid(folder.size()));
    return true;
}

int depthOf(const QTreeWidgetItem* item)
{
    int depth = 0;
    for (; item && item->parent(); item = item->parent())
        ++depth;
    return depth;
}

} // namespace

FolderTreeWidget::FolderTreeWidget(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setTextElideMode(Qt::ElideRight);
    setIndentation(kWideStep);
    header()->setSectionResizeMode(QHeaderView::Fixed);
    header()->setStretchLastSection(false);
    for (const QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()})
        connect(bar, &QScrollBar::actionTriggered, this, [this] { keepCurrentShown_ = false; });
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (held_ == 0)
            choose(item);
    });
}

QTreeWidgetItem* FolderTreeWidget::makeItem(const QString& name, const QString& path)
{
    auto* item = new QTreeWidgetItem(QStringList{name});
    item->setData(0, kPathRole, path);
    item->setToolTip(0, path);
    item->setIcon(0, style()->standardIcon(QStyle::SP_DirClosedIcon));
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    return item;
}

void FolderTreeWidget::setRoot(const QString& root, const QString& label)
{
    const QSignalBlocker block(this);
    keepCurrentShown_ = false;
    current_ = nullptr;
    clear();
    root_ = root;
    if (root.isEmpty())
        return;
    QString name = root;
    while (name.size() > 1 && (name.endsWith(QLatin1Char('\\')) || name.endsWith(QLatin1Char('/'))))
        name.chop(1);
    name = name.mid(std::max(name.lastIndexOf(QLatin1Char('\\')), name.lastIndexOf(QLatin1Char('/'))) + 1);
    QTreeWidgetItem* top = makeItem(!label.isEmpty() ? label : name.isEmpty() ? root : name, root);
    addTopLevelItem(top);
    open(top);
}

// The row of the sub-folder named name below item: one shown already, else the folder's own
// when it exists on disk (added to the rows). The exact name first, then any letter case.
QTreeWidgetItem* FolderTreeWidget::childNamed(QTreeWidgetItem* item, const QString& name)
{
    for (Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        for (int i = 0; i < item->childCount(); ++i)
            if (item->child(i)->text(0).compare(name, cs) == 0)
                return item->child(i);
    }
    const QStringList names = subFolderNamesOf(item->data(0, kPathRole).toString());
    for (Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
        for (const QString& found : names) {
            if (found.compare(name, cs) == 0) {
                QTreeWidgetItem* child = makeItem(found, joined(item->data(0, kPathRole).toString(), found));
                item->addChild(child);
                return child;
            }
        }
    }
    return nullptr;
}

QTreeWidgetItem* FolderTreeWidget::descend(QTreeWidgetItem* item, const QStringList& names)
{
    for (const QString& name : names) {
        QTreeWidgetItem* next = childNamed(item, name);
        if (!next)
            break;
        item = next;
    }
    return item;
}

// Makes item's folder the current one: the folders above it keep only the way down to it, and
// its own sub-folders are listed anew (the rows of those shown already stay).
void FolderTreeWidget::open(QTreeWidgetItem* item)
{
    const QSignalBlocker block(this);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QIcon opened = style()->standardIcon(QStyle::SP_DirOpenIcon);
    for (QTreeWidgetItem* on = item; on->parent(); on = on->parent()) {
        QTreeWidgetItem* above = on->parent();
        for (int i = above->childCount() - 1; i >= 0; --i)
            if (above->child(i) != on)
                delete above->takeChild(i);
    }
    QHash<QString, QTreeWidgetItem*> shown;
    for (QTreeWidgetItem* child : item->takeChildren()) {
        qDeleteAll(child->takeChildren());
        shown.insert(child->text(0), child);
    }
    const QString path = item->data(0, kPathRole).toString();
    for (const QString& name : subFolderNamesOf(path)) {
        QTreeWidgetItem* child = shown.take(name);
        if (!child)
            child = makeItem(name, joined(path, name));
        child->setIcon(0, closed);
        item->addChild(child);
    }
    qDeleteAll(shown);
    for (QTreeWidgetItem* on = item; on; on = on->parent()) {
        on->setIcon(0, opened);
        on->setExpanded(true);
    }
    current_ = item;
    setCurrentItem(item);
    fitSteps();
}

// A row the user chose: its folder becomes current.
void FolderTreeWidget::choose(QTreeWidgetItem* item)
{
    if (!item || item == current_)
        return;
    open(item);
    showCurrent();
    emit folderChosen();
}

// Narrows the steps until the current folder and its sub-folders show whole (never below the
// narrowest step), and makes the rows as wide as the widest of them needs, or the list.
void FolderTreeWidget::fitSteps()
{
    if (!current_)
        return;
    const int room = viewport()->width();
    const int depth = depthOf(current_);
    QList<const QTreeWidgetItem*> rows{current_};
    for (int i = 0; i < current_->childCount(); ++i)
        rows.append(current_->child(i));
    // The step at which a row fits: the widest step it allows, never below least.
    const auto fitting = [room](int step, int in, int width, int least) {
        return in > 0 && in * step + width > room ? std::max(least, (room - width) / in) : step;
    };
    int step = kWideStep;
    for (const QTreeWidgetItem* row : rows)
        step = fitting(step, depth + (row == current_ ? 0 : 1), sizeHintForIndex(indexFromItem(row)).width(), kNarrowStep);
    // The folders on the way show whole too where a step that still reads as one allows it.
    int wayStep = kWideStep;
    for (const QTreeWidgetItem* on = current_->parent(); on; on = on->parent())
        wayStep = fitting(wayStep, depthOf(on), sizeHintForIndex(indexFromItem(on)).width(), kReadableStep);
    step = std::min(step, wayStep);
    if (step != indentation())
        setIndentation(step);
    int need = room;
    for (const QTreeWidgetItem* row : rows)
        need = std::max(need, (depth + (row == current_ ? 0 : 1)) * step + sizeHintForIndex(indexFromItem(row)).width());
    if (header()->sectionSize(0) != need)
        header()->resizeSection(0, need);
}

// The current folder in view, with as many of its sub-folders below it as the list has room for.
void FolderTreeWidget::showCurrent()
{
    if (!current_)
        return;
    if (current_->childCount() > 0)
        QTreeWidget::scrollTo(indexFromItem(current_->child(current_->childCount() - 1)));
    QTreeWidget::scrollTo(indexFromItem(current_));
    // Sideways (where even the narrowest steps leave too little room) as far as the widest of
    // them needs, and never past the current folder's own step in.
    QScrollBar* sideways = horizontalScrollBar();
    const int start = visualItemRect(current_).left() + sideways->value();
    int end = start + sizeHintForIndex(indexFromItem(current_)).width();
    for (int i = 0; i < current_->childCount(); ++i) {
        const QModelIndex sub = indexFromItem(current_->child(i));
        end = std::max(end, visualRect(sub).left() + sideways->value() + sizeHintForIndex(sub).width());
    }
    sideways->setValue(std::clamp(end - viewport()->width(), 0, std::max(0, start - indentation())));
}

void FolderTreeWidget::setPath(const QString& path)
{
    QTreeWidgetItem* item = topLevelItem(0);
    if (!item)
        return;
    const QSignalBlocker block(this);
    const bool sameForm = path.startsWith(root_, Qt::CaseInsensitive)
                          && (path.size() == root_.size() || root_.endsWith(QLatin1Char('\\'))
                              || root_.endsWith(QLatin1Char('/')) || path[root_.size()] == QLatin1Char('\\')
                              || path[root_.size()] == QLatin1Char('/'));
    QStringList names;
    if (sameForm)
        names = namesOf(path.mid(root_.size()));
    else if (!namesBelow(WhereLeads(root_), WhereLeads(path), names))
        names.clear();
    item = descend(item, names);
    open(item);
    nameTheWay(item, path);
    keepCurrentShown_ = true;
    showCurrent();
}

void FolderTreeWidget::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    QTreeWidget::scrollTo(index, hint);
    if (!index.isValid())
        return;
    // Scrolled sideways no further than it takes to show the folder's icon and name whole, and
    // never past its own step in, so that as much of the way shows as can.
    QScrollBar* sideways = horizontalScrollBar();
    const int start = visualRect(index).left() + sideways->value();
    const int end = start + sizeHintForIndex(index).width();
    sideways->setValue(std::clamp(end - viewport()->width(), 0, std::max(0, start - indentation())));
}

bool FolderTreeWidget::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::Wheel)
        keepCurrentShown_ = false;
    const bool done = QTreeWidget::viewportEvent(event);
    // The list's width decides the steps; a list opened before its window had its final size
    // shows its folder at the size it gets.
    if (event->type() == QEvent::Resize) {
        fitSteps();
        if (keepCurrentShown_)
            showCurrent();
    }
    return done;
}

void FolderTreeWidget::keyPressEvent(QKeyEvent* event)
{
    keepCurrentShown_ = false;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        choose(currentItem());
        return;
    }
    // The keys move the highlight; Enter opens the folder it is on.
    ++held_;
    QTreeWidget::keyPressEvent(event);
    --held_;
}

// A press (and a drag) highlights a row; the release opens it.
void FolderTreeWidget::mousePressEvent(QMouseEvent* event)
{
    ++held_;
    QTreeWidget::mousePressEvent(event);
    --held_;
}

void FolderTreeWidget::mouseMoveEvent(QMouseEvent* event)
{
    ++held_;
    QTreeWidget::mouseMoveEvent(event);
    --held_;
}

void FolderTreeWidget::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        choose(currentItem());
}

// The rows of the way are always open: no expanders and no branch lines, only the steps.
void FolderTreeWidget::drawBranches(QPainter*, const QRect&, const QModelIndex&) const {}

void FolderTreeWidget::rename(QTreeWidgetItem* item, const QString& path)
{
    item->setData(0, kPathRole, path);
    item->setToolTip(0, path);
    for (int i = 0; i < item->childCount(); ++i)
        rename(item->child(i), joined(path, item->child(i)->text(0)));
}

void FolderTreeWidget::nameTheWay(QTreeWidgetItem* item, const QString& path)
{
    // The folders on the way are named in the form the given path uses (its drive or root and
    // its separators), each with the folder's own name, where the path's shorter forms lead to
    // the same folders.
    QList<QTreeWidgetItem*> way;
    for (QTreeWidgetItem* on = item; on && on->parent(); on = on->parent())
        way.prepend(on);
    if (way.isEmpty())
        return;
    QHash<QString, qsizetype> separatorOf; // where a prefix leads -> the separator before its last name
    static const QRegularExpression separator(QStringLiteral("[\\\\/]"));
    qsizetype from = 0;
    qsizetype before = -1;
    for (;;) {
        const qsizetype at = path.indexOf(separator, from);
        const QString text = at < 0 ? path : path.left(at);
        if (at != from && before >= 0)
            separatorOf.insert(WhereLeads(text), before);
        if (at < 0)
            break;
        if (at != from)
            before = at;
        from = at + 1;
    }
    const QTreeWidgetItem* renamed = nullptr;
    for (QTreeWidgetItem* on : way) {
        const auto found = separatorOf.constFind(WhereLeads(on->data(0, kPathRole).toString()));
        if (found == separatorOf.constEnd())
            continue;
        const QString folder = renamed && renamed == on->parent()
                                   ? renamed->data(0, kPathRole).toString() + path.at(*found)
                                   : path.left(*found + 1);
        rename(on, folder + on->text(0));
        renamed = on;
    }
}

QString FolderTreeWidget::path() const
{
    return current_ ? current_->data(0, kPathRole).toString() : QString();
}

int FolderTreeWidget::ListCount() const
{
    return current_ ? current_->childCount() : 0;
}

QString FolderTreeWidget::List(int index) const
{
    if (!current_)
        return QString();
    if (index >= 0)
        return index < current_->childCount() ? current_->child(index)->data(0, kPathRole).toString() : QString();
    const QTreeWidgetItem* on = current_;
    for (int up = -1; on && up > index; --up)
        on = on->parent();
    return on ? on->data(0, kPathRole).toString() : QString();
}

int FolderTreeWidget::ListIndex() const
{
    const QTreeWidgetItem* highlighted = currentItem();
    if (!current_ || !highlighted)
        return -1;
    if (highlighted->parent() == current_)
        return current_->indexOfChild(const_cast<QTreeWidgetItem*>(highlighted));
    int index = -1;
    for (const QTreeWidgetItem* on = current_; on; on = on->parent(), --index)
        if (on == highlighted)
            return index;
    return -1;
}
