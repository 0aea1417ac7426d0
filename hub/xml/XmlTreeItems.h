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
    QString textOf(int index) const { return m_items[size_t(index)].text.str(); }
    bool boldOf(int index) const { return m_flags[size_t(index)] & kBold; }
    bool expandedOf(int index) const { return m_flags[size_t(index)] & kExpanded; }
    void setExpanded(int index, bool expanded) { setFlag(index, kExpanded, expanded); }
    int parentOf(int index) const { return m_items[size_t(index)].parent; }
    // Walks the children: for tests and small items only.
    int childCountOf(int index) const;
    int firstChildOf(int index) const
    {
        const int last = m_items[size_t(index)].lastChild;
        return last == npos ? npos : m_items[size_t(last)].next;
    }
    int nextSiblingOf(int index) const
    {
        const Item& item = m_items[size_t(index)];
        if (item.parent >= 0 && m_items[size_t(item.parent)].lastChild == index)
            return npos;
        return item.next;
    }
    int firstTopLevel() const { return m_firstTop; }
    void setSelectedIndex(int index) { m_selected = index; }
    // The item whose label editing was asked for last (npos when none).
    int editedIndex() const { return m_edited; }
    // Collects the index of the item and of every item below it.
    void collectSubtree(int index, std::vector<int>& out) const;

private:
    // A document makes a million items: an item is kept to 16 bytes and a byte of flags.
    // A parent holds its last child, and the last child's next leads back to the first, so
    // children are appended at once; top-level items are a plain list (m_firstTop, m_lastTop).
    struct Item {
        xmltree::SharedText text; // shared with the node it shows where it can be
        int parent = npos; // kGone once the item is removed
        int lastChild = npos;
        int next = npos;
    };
    static_assert(sizeof(Item) <= 16);
    static constexpr int kGone = -2;
    static constexpr quint8 kBold = 1;
    static constexpr quint8 kExpanded = 2;

    void setFlag(int index, quint8 flag, bool on)
    {
        quint8& flags = m_flags[size_t(index)];
        flags = on ? quint8(flags | flag) : quint8(flags & ~flag);
    }
    int requireIndex(const QString& key) const; // VbError 35601 when absent
    // The key number of an item ("nod" keys), -1 when its key is filed by text.
    qint64 numberOf(int index) const { return m_implied ? m_offset + index : m_numbers[size_t(index)]; }
    // Whether an item with this key number, added next, keeps the numbers implied.
    bool keepsImplied(qint64 number) const
    {
        return m_implied && number >= 0 && (m_items.empty() || number == m_offset + qint64(m_items.size()));
    }
    // Gives every item its own number and files the numbers, as the items would have been
    // filed had they been added that way.
    void storeNumbers();
    void unfile(int index);
    // Files the item (parent set) as the last child of its parent.
    void append(Item&& item, qint64 number);

    std::vector<Item> m_items;
    // Live items in the order they were added, made at the first removal; until then the
    // items are all live and in index order (m_removed false, m_order empty).
    std::vector<int> m_order;
    bool m_removed = false;
    std::vector<quint8> m_flags; // kBold, kExpanded of each item
    // While every item added has the key number index + m_offset (as a document's load
    // adds them), the numbers are implied and neither m_numbers nor m_byNumber is kept.
    bool m_implied = true;
    qint64 m_offset = 0;
    std::vector<qint32> m_numbers; // of each item once stored; -1: the key is in m_keyTexts
    std::vector<int> m_byNumber; // the item of each stored key number, or npos
    QHash<QString, int> m_byText; // lower-cased keys that are not filed by number
    QHash<int, QString> m_keyTexts; // keys not written "nod" and the number
    int m_firstTop = npos;
    int m_lastTop = npos;
    int m_selected = npos;
    int m_edited = npos;
    int m_lastAdded = npos;
};
