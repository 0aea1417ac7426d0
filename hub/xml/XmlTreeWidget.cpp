#include "hub/xml/XmlTreeWidget.h"

#include <QFont>
#include <QScopedValueRollback>


namespace {
constexpr int kIndexRole = Qt::UserRole;
}

XmlTreeWidget::XmlTreeWidget(QWidget* parent)
    : QTreeWidget(parent)
{
    setColumnCount(1);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    connect(this, &QTreeWidget::itemExpanded, this, &XmlTreeWidget::onItemExpanded);
    connect(this, &QTreeWidget::itemChanged, this, &XmlTreeWidget::onItemChanged);
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { onCurrentItemChanged(current); });
}

XmlTreeWidget::~XmlTreeWidget() = default;

QTreeWidgetItem* XmlTreeWidget::widgetItem(int index) const
{
    return m_widgetItems.value(index, nullptr);
}

void XmlTreeWidget::applyFont(QTreeWidgetItem* item, bool bold)
{
    QFont f = item->font(0);
    if (f.bold() != bold) {
        f.setBold(bold);
        item->setFont(0, f);
    }
}

QTreeWidgetItem* XmlTreeWidget::makeItem(int index)
{
    auto* item = new QTreeWidgetItem;
    item->setText(0, m_content.textOf(index));
    item->setData(0, kIndexRole, index);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    if (m_content.boldOf(index))
        applyFont(item, true);
    const bool hasChildren = m_content.firstChildOf(index) != XmlTreeItems::npos;
    item->setChildIndicatorPolicy(hasChildren ? QTreeWidgetItem::ShowIndicator
                                              : QTreeWidgetItem::DontShowIndicatorWhenChildless);
    m_widgetItems.insert(index, item);
    // Children get widget items when the item is first opened (while a document is read,
    // items are added before their children).
    m_populated.remove(index);
    ++m_created;
    return item;
}

void XmlTreeWidget::populate(int index)
{
    if (m_populated.contains(index))
        return;
    QTreeWidgetItem* parentItem = widgetItem(index);
    if (!parentItem)
        return;
    QScopedValueRollback<bool> guard(m_syncing, true);
    m_populated.insert(index);
    QList<QTreeWidgetItem*> children;
    for (int child = m_content.firstChildOf(index); child != XmlTreeItems::npos; child = m_content.nextSiblingOf(child))
        children.append(makeItem(child));
    parentItem->addChildren(children);
    parentItem->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    for (QTreeWidgetItem* child : children) {
        if (m_content.expandedOf(child->data(0, kIndexRole).toInt()))
            child->setExpanded(true);
    }
}

QTreeWidgetItem* XmlTreeWidget::materialize(int index)
{
    if (QTreeWidgetItem* item = widgetItem(index))
        return item;
    // The way down from the top-level item: each ancestor's children are made in turn.
    std::vector<int> path;
    for (int i = m_content.parentOf(index); i != XmlTreeItems::npos; i = m_content.parentOf(i))
        path.push_back(i);
    for (auto it = path.rbegin(); it != path.rend(); ++it)
        populate(*it);
    return widgetItem(index);
}

void XmlTreeWidget::clearItems()
{
    QScopedValueRollback<bool> guard(m_syncing, true);
    clear();
    m_content.clearItems();
    m_widgetItems = {};
    m_populated = {};
    m_created = 0;
}

void XmlTreeWidget::reserveItems(qsizetype count)
{
    m_content.reserveItems(count);
}

void XmlTreeWidget::addItem(const QString& parentKey, const QString& key, const QString& text)
{
    addSharedItem(parentKey, key, xmltree::SharedText(text));
}

void XmlTreeWidget::addSharedItem(const QString& parentKey, const QString& key, const xmltree::SharedText& text)
{
    m_content.addSharedItem(parentKey, key, text);
    showAdded();
}

void XmlTreeWidget::addNumberedItem(qint64 parentNumber, qint32 number, const xmltree::SharedText& text)
{
    m_content.addNumberedItem(parentNumber, number, text);
    showAdded();
}

void XmlTreeWidget::showAdded()
{
    const int index = m_content.lastAdded();
    const int parent = m_content.parentOf(index);

    QScopedValueRollback<bool> guard(m_syncing, true);
    if (parent == XmlTreeItems::npos) {
        addTopLevelItem(makeItem(index));
        return;
    }
    QTreeWidgetItem* parentItem = widgetItem(parent);
    if (!parentItem)
        return; // made when the way to it is opened
    if (m_populated.contains(parent))
        parentItem->addChild(makeItem(index));
    else
        parentItem->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
}

void XmlTreeWidget::removeItem(const QString& key)
{
    const int index = m_content.indexOf(key);
    if (index != XmlTreeItems::npos) {
        std::vector<int> gone;
        m_content.collectSubtree(index, gone);
        QScopedValueRollback<bool> guard(m_syncing, true);
        delete widgetItem(index); // takes its child items along
        for (int i : gone) {
            if (m_widgetItems.remove(i))
                --m_created;
            m_populated.remove(i);
        }
    }
    m_content.removeItem(key); // raises the error for a missing key
}

void XmlTreeWidget::setItemText(const QString& key, const QString& text)
{
    m_content.setItemText(key, text);
    if (QTreeWidgetItem* item = widgetItem(m_content.indexOf(key))) {
        QScopedValueRollback<bool> guard(m_syncing, true);
        item->setText(0, text);
    }
}

void XmlTreeWidget::expandItem(const QString& key)
{
    m_content.expandItem(key);
    if (QTreeWidgetItem* item = materialize(m_content.indexOf(key)))
        item->setExpanded(true); // populates through itemExpanded
}

void XmlTreeWidget::selectItem(const QString& key)
{
    m_content.selectItem(key);
    if (QTreeWidgetItem* item = materialize(m_content.indexOf(key))) {
        setCurrentItem(item);
        scrollToItem(item);
    }
}

QString XmlTreeWidget::selectedKey() const
{
    return m_content.selectedKey();
}

void XmlTreeWidget::setItemBold(const QString& key, bool bold)
{
    m_content.setItemBold(key, bold);
    if (QTreeWidgetItem* item = widgetItem(m_content.indexOf(key))) {
        QScopedValueRollback<bool> guard(m_syncing, true);
        applyFont(item, bold);
    }
}

void XmlTreeWidget::editItemLabel(const QString& key)
{
    m_content.editItemLabel(key);
    if (QTreeWidgetItem* item = materialize(m_content.indexOf(key))) {
        setCurrentItem(item);
        scrollToItem(item);
        editItem(item, 0);
    }
}

QTreeWidgetItem* XmlTreeWidget::itemForKey(const QString& key)
{
    const int index = m_content.indexOf(key);
    return index == XmlTreeItems::npos ? nullptr : materialize(index);
}

QString XmlTreeWidget::keyOfItem(const QTreeWidgetItem* item) const
{
    if (!item)
        return QString();
    return m_content.keyOf(item->data(0, kIndexRole).toInt());
}

void XmlTreeWidget::onItemExpanded(QTreeWidgetItem* item)
{
    const int index = item->data(0, kIndexRole).toInt();
    m_content.setExpanded(index, true);
    populate(index);
}

void XmlTreeWidget::onCurrentItemChanged(QTreeWidgetItem* current)
{
    m_content.setSelectedIndex(current ? current->data(0, kIndexRole).toInt() : XmlTreeItems::npos);
}

void XmlTreeWidget::onItemChanged(QTreeWidgetItem* item, int column)
{
    if (m_syncing || column != 0)
        return;
    const int index = item->data(0, kIndexRole).toInt();
    const QString text = item->text(0);
    if (text == m_content.textOf(index))
        return;
    const QString key = m_content.keyOf(index);
    const bool keep = !m_labelEditHandler || m_labelEditHandler(key, text);
    if (keep) {
        m_content.setItemText(key, text);
    } else {
        QScopedValueRollback<bool> guard(m_syncing, true);
        item->setText(0, m_content.textOf(index));
    }
}
