#include "common/FolderTreeWidget.h"

#include "common/GameReference.h"
#include "common/Wildcard.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
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
constexpr int kFilledRole = Qt::UserRole + 1;

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

} // namespace

FolderTreeWidget::FolderTreeWidget(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    setIndentation(12);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { fill(item); });
    for (const QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()})
        connect(bar, &QScrollBar::actionTriggered, this, [this] { keepCurrentShown_ = false; });
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (current) {
            fill(current);
            current->setExpanded(true);
        }
        emit folderChosen();
    });
}

QTreeWidgetItem* FolderTreeWidget::makeItem(const QString& name, const QString& path)
{
    auto* item = new QTreeWidgetItem(QStringList{name});
    item->setData(0, kPathRole, path);
    item->setToolTip(0, path);
    item->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

void FolderTreeWidget::fill(QTreeWidgetItem* item)
{
    if (!item || item->data(0, kFilledRole).toBool())
        return;
    item->setData(0, kFilledRole, true);
    const QString path = item->data(0, kPathRole).toString();
    for (const QString& name : subFolderNamesOf(path))
        item->addChild(makeItem(name, joined(path, name)));
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void FolderTreeWidget::setRoot(const QString& root, const QString& label)
{
    const QSignalBlocker block(this);
    keepCurrentShown_ = false;
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
    fill(top);
    top->setExpanded(true);
    setCurrentItem(top);
}

QTreeWidgetItem* FolderTreeWidget::descend(QTreeWidgetItem* item, const QStringList& names)
{
    for (const QString& name : names) {
        fill(item);
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < item->childCount(); ++i) {
            if (item->child(i)->text(0).compare(name, Qt::CaseInsensitive) == 0) {
                next = item->child(i);
                break;
            }
        }
        if (!next)
            break;
        item->setExpanded(true);
        item = next;
    }
    return item;
}

void FolderTreeWidget::rename(QTreeWidgetItem* item, const QString& path)
{
    item->setData(0, kPathRole, path);
    item->setToolTip(0, path);
    for (int i = 0; i < item->childCount(); ++i)
        rename(item->child(i), joined(path, item->child(i)->text(0)));
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
    nameTheWay(item, path);
    fill(item);
    item->setExpanded(true);
    setCurrentItem(item);
    keepCurrentShown_ = true;
    scrollTo(indexFromItem(item));
}

void FolderTreeWidget::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    QTreeWidget::scrollTo(index, hint);
    if (!index.isValid())
        return;
    // Scrolled sideways no further than it takes to show the folder's icon and name whole, and
    // never past the folder's own expander, so that as many of the folders on its way show.
    QScrollBar* sideways = horizontalScrollBar();
    const int start = visualRect(index).left() + sideways->value();
    const int end = start + sizeHintForIndex(index).width();
    sideways->setValue(std::clamp(end - viewport()->width(), 0, std::max(0, start - indentation())));
}

void FolderTreeWidget::resizeEvent(QResizeEvent* event)
{
    QTreeWidget::resizeEvent(event);
    // A list opened before its window had its final size shows its folder at the size it gets.
    if (keepCurrentShown_)
        scrollTo(currentIndex());
}

bool FolderTreeWidget::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::Wheel)
        keepCurrentShown_ = false;
    return QTreeWidget::viewportEvent(event);
}

void FolderTreeWidget::keyPressEvent(QKeyEvent* event)
{
    keepCurrentShown_ = false;
    QTreeWidget::keyPressEvent(event);
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
    const QTreeWidgetItem* item = currentItem();
    return item ? item->data(0, kPathRole).toString() : QString();
}
