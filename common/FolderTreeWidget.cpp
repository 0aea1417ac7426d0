#include "common/FolderTreeWidget.h"

#include "common/Wildcard.h"

#include <QHeaderView>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QStyle>

#include <algorithm>

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kFilledRole = Qt::UserRole + 1;

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
        item->addChild(makeItem(name, path + QLatin1Char('\\') + name));
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void FolderTreeWidget::setRoot(const QString& root)
{
    const QSignalBlocker block(this);
    clear();
    root_ = root;
    if (root.isEmpty())
        return;
    QString name = root;
    while (name.size() > 1 && (name.endsWith(QLatin1Char('\\')) || name.endsWith(QLatin1Char('/'))))
        name.chop(1);
    name = name.mid(std::max(name.lastIndexOf(QLatin1Char('\\')), name.lastIndexOf(QLatin1Char('/'))) + 1);
    QTreeWidgetItem* top = makeItem(name.isEmpty() ? root : name, root);
    addTopLevelItem(top);
    fill(top);
    top->setExpanded(true);
    setCurrentItem(top);
}

void FolderTreeWidget::setPath(const QString& path)
{
    QTreeWidgetItem* item = topLevelItem(0);
    if (!item)
        return;
    const QSignalBlocker block(this);
    if (path.startsWith(root_, Qt::CaseInsensitive)) {
        const QStringList names = path.mid(root_.size()).split(QRegularExpression(QStringLiteral("[\\\\/]")), Qt::SkipEmptyParts);
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
    }
    fill(item);
    item->setExpanded(true);
    setCurrentItem(item);
    scrollToItem(item);
}

QString FolderTreeWidget::path() const
{
    const QTreeWidgetItem* item = currentItem();
    return item ? item->data(0, kPathRole).toString() : QString();
}
