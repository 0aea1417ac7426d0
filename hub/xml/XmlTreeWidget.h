#pragma once
// The tree view of the tree page (trevwContents): shows an XmlTreeItems content. Each
// widget item carries its element's key; the key-to-item map and the order in which the
// items were added live in the content. Widget items are made only for what the user
// opens (the children of an item when it is expanded, or the way to an item that is
// selected), so a document of a million elements fills the view at once.
//
// Label editing: the user edits an item's label in place (F2, or a click on the selected
// item) or the page starts it with editItemLabel(). The handler set with
// setLabelEditHandler() decides on the new text; when it refuses, the label keeps its old
// text. An edit the user abandons calls nothing.

#include "hub/xml/XmlTreeItems.h"
#include "hub/xml/XmlTreeView.h"

#include <QHash>
#include <QSet>
#include <QTreeWidget>

#include <functional>
#include <vector>

class XmlTreeWidget : public QTreeWidget, public XmlTreeView {
    Q_OBJECT
public:
    explicit XmlTreeWidget(QWidget* parent = nullptr);
    ~XmlTreeWidget() override;

    // XmlTreeView
    void clearItems() override;
    void reserveItems(qsizetype count) override;
    void addItem(const QString& parentKey, const QString& key, const QString& text) override;
    void addSharedItem(const QString& parentKey, const QString& key, const xmltree::SharedText& text) override;
    void addNumberedItem(qint64 parentNumber, qint32 number, const xmltree::SharedText& text) override;
    void removeItem(const QString& key) override;
    bool hasItem(const QString& key) const override { return m_content.hasItem(key); }
    QString itemText(const QString& key) const override { return m_content.itemText(key); }
    void setItemText(const QString& key, const QString& text) override;
    void expandItem(const QString& key) override;
    qsizetype itemCount() const override { return m_content.itemCount(); }
    QString itemKeyAt(qsizetype position) const override { return m_content.itemKeyAt(position); }
    void selectItem(const QString& key) override;
    QString selectedKey() const override;
    void setItemBold(const QString& key, bool bold) override;
    bool isItemBold(const QString& key) const override { return m_content.isItemBold(key); }
    void editItemLabel(const QString& key) override;

    // The widget item of the key, made (with the items on the way to it) when it is not
    // there yet; null for a key that has no item.
    QTreeWidgetItem* itemForKey(const QString& key);
    // The key an item carries ("" for null).
    QString keyOfItem(const QTreeWidgetItem* item) const;
    const XmlTreeItems& content() const { return m_content; }
    // How many widget items exist (for tests of the lazy filling).
    qsizetype createdItemCount() const { return m_created; }

    // Decides on a label edit: gets the key and the new text, answers whether to keep it.
    void setLabelEditHandler(std::function<bool(const QString& key, const QString& text)> handler)
    {
        m_labelEditHandler = std::move(handler);
    }

private:
    // Shows the item just added to the content, where its parent is shown and open.
    void showAdded();
    QTreeWidgetItem* makeItem(int index);
    QTreeWidgetItem* widgetItem(int index) const;
    // Makes the widget items of the item's children.
    void populate(int index);
    QTreeWidgetItem* materialize(int index);
    void applyFont(QTreeWidgetItem* item, bool bold);
    void onItemExpanded(QTreeWidgetItem* item);
    void onItemChanged(QTreeWidgetItem* item, int column);
    void onCurrentItemChanged(QTreeWidgetItem* current);

    XmlTreeItems m_content;
    // Only the items the user has opened the way to have widget items: a document's million
    // items cost nothing here.
    QHash<int, QTreeWidgetItem*> m_widgetItems; // by content index
    QSet<int> m_populated;                      // content indexes opened, children made
    qsizetype m_created = 0;
    bool m_syncing = false; // the widget changes its own items
    std::function<bool(const QString&, const QString&)> m_labelEditHandler;
};
