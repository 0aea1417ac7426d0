#pragma once
// The items of the tree page's tree view without a window: keys, texts, parent and child
// links, the order in which the items were added, the selection and the bold marks. The
// widget shows this content and creates its own items only for the parts the user opens,
// so a document of a million elements fills the view at once.
//
// Items are numbered by an index that stays the same for the item's life (it is not its
// position; itemKeyAt() works with positions).

#include "hub/xml/XmlTreeView.h"

#include <QHash>
#include <QString>

#include <vector>

class XmlTreeItems : public XmlTreeView {
public:
    static constexpr int npos = -1;

    XmlTreeItems() = default;

    // XmlTreeView
    void clearItems() override;
    void reserveItems(qsizetype count) override;
    void addItem(const QString& parentKey, const QString& key, const QString& text) override;
    void addSharedItem(const QString& parentKey, const QString& key, const xmltree::SharedText& text) override;
    void addNumberedItem(qint64 parentNumber, qint32 number, const xmltree::SharedText& text) override;
    void removeItem(const QString& key) override;
    bool hasItem(const QString& key) const override { return indexOf(key) != npos; }
    QString itemText(const QString& key) const override;
    void setItemText(const QString& key, const QString& text) override;
    void expandItem(const QString& key) override;
    qsizetype itemCount() const override { return qsizetype(m_removed ? m_order.size() : m_items.size()); }
    QString itemKeyAt(qsizetype position) const override;
    void selectItem(const QString& key) override;
    QString selectedKey() const override;
    void setItemBold(const QString& key, bool bold) override;
    bool isItemBold(const QString& key) const override;
    void editItemLabel(const QString& key) override;

    // By index. addItem() answers the new item's index through lastAdded().
    int indexOf(const QString& key) const;
    int lastAdded() const { return m_lastAdded; }
    QString keyOf(int index) const;
    const QString& textOf(int index) const { return m_items[size_t(index)].text.str(); }
    bool boldOf(int index) const { return m_items[size_t(index)].bold; }
    bool expandedOf(int index) const { return m_items[size_t(index)].expanded; }
    void setExpanded(int index, bool expanded) { m_items[size_t(index)].expanded = expanded; }
    int parentOf(int index) const { return m_items[size_t(index)].parent; }
    int childCountOf(int index) const { return int(m_items[size_t(index)].childCount); }
    int firstChildOf(int index) const { return m_items[size_t(index)].firstChild; }
    int nextSiblingOf(int index) const { return m_items[size_t(index)].next; }
    int firstTopLevel() const { return m_firstTop; }
    int selectedIndex() const { return m_selected; }
    void setSelectedIndex(int index) { m_selected = index; }
    // The item whose label editing was asked for last (npos when none).
    int editedIndex() const { return m_edited; }
    // Collects the index of the item and of every item below it.
    void collectSubtree(int index, std::vector<int>& out) const;

private:
    // A document makes a million items: an item is kept to 28 bytes.
    struct Item {
        xmltree::SharedText text; // shared with the node it shows where it can be
        qint32 number = -1; // of a "nod" key; -1: the key is in m_keyTexts
        int parent = npos; // kGone once the item is removed
        int firstChild = npos;
        int lastChild = npos;
        int next = npos;
        quint32 childCount : 30 = 0;
        quint32 bold : 1 = 0;
        quint32 expanded : 1 = 0;
    };
    static constexpr int kGone = -2;

    int requireIndex(const QString& key) const; // VbError 35601 when absent
    void unfile(int index);
    // Files the item (parent and number set) as the last child of its parent.
    void append(Item&& item);

    std::vector<Item> m_items;
    // Live items in the order they were added, made at the first removal; until then the
    // items are all live and in index order (m_removed false, m_order empty).
    std::vector<int> m_order;
    bool m_removed = false;
    std::vector<int> m_byNumber; // the item of each key number ("nod" keys), or npos
    QHash<QString, int> m_byText; // lower-cased keys that are not filed by number
    QHash<int, QString> m_keyTexts; // keys not written "nod" and the number
    int m_firstTop = npos;
    int m_lastTop = npos;
    int m_selected = npos;
    int m_edited = npos;
    int m_lastAdded = npos;
};
