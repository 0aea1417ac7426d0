#pragma once
// What the tree document needs of its window, as two small interfaces, so that the logic
// runs and is tested without widgets.
//
// XmlTreeView is the tree view of the elements: one item per element, each item known by
// its key (the element's NodeKey; keys are compared without regard to case), items in
// the order they were added. XmlTreeItems is the view's content without a window;
// XmlTreeWidget shows it.
//
// XmlTreeHost is the rest of the main window that the document touches: the caption, the
// two save items of the tree page's Files menu and the attribute and text controls.

#include "hub/xml/NodeKeys.h"
#include "hub/xml/SharedText.h"

#include <QString>

class XmlTreeView {
public:
    virtual ~XmlTreeView() = default;

    // Removes every item.
    virtual void clearItems() = 0;
    // Makes room for this many items in all (a hint before a document's items are added).
    virtual void reserveItems(qsizetype count) { Q_UNUSED(count); }
    // Adds an item with the key and the text as the last child of the item parentKey, or as
    // a top-level item when parentKey is empty. A key that is already there raises VbError
    // 35602 ("Key is not unique in collection"), a parent that is not there 35601
    // ("Element not found").
    virtual void addItem(const QString& parentKey, const QString& key, const QString& text) = 0;
    // The same with the text as the node tree holds it: a view may share it instead of
    // keeping a copy.
    virtual void addSharedItem(const QString& parentKey, const QString& key, const xmltree::SharedText& text)
    {
        addItem(parentKey, key, text.str());
    }
    // The same for the key "nod" and number under the item keyed "nod" and parentNumber (a
    // top-level item when parentNumber is -1), without making or reading key texts: the
    // road a document's load takes for each element.
    virtual void addNumberedItem(qint64 parentNumber, qint32 number, const xmltree::SharedText& text)
    {
        addSharedItem(parentNumber < 0 ? QString() : xmltree::keyText(parentNumber), xmltree::keyText(number), text);
    }
    // Removes the item and every item below it; later items move up one position.
    virtual void removeItem(const QString& key) = 0;
    virtual bool hasItem(const QString& key) const = 0;

    virtual QString itemText(const QString& key) const = 0;
    virtual void setItemText(const QString& key, const QString& text) = 0;
    virtual void expandItem(const QString& key) = 0;

    // The items by position, 1 to itemCount(), in the order they were added.
    virtual qsizetype itemCount() const = 0;
    virtual QString itemKeyAt(qsizetype position) const = 0;

    // Selection ("" when nothing is selected), bold marks and label editing.
    virtual void selectItem(const QString& key) = 0;
    virtual QString selectedKey() const = 0;
    virtual void setItemBold(const QString& key, bool bold) = 0;
    virtual bool isItemBold(const QString& key) const = 0;
    virtual void editItemLabel(const QString& key) = 0;
};

class XmlTreeHost {
public:
    virtual ~XmlTreeHost() = default;

    virtual QString caption() const = 0;
    virtual void setCaption(const QString& caption) = 0;
    // "Save RailSim File" (mnuFileSave) and "Save .xml As" (mnuFileSaveAs) of the tree page.
    virtual void setSaveEnabled(bool enabled) = 0;
    virtual void setSaveAsEnabled(bool enabled) = 0;
    // Enables or disables the attribute and text controls; disabling also empties them
    // without counting that as an edit (EnableAttributeControls).
    virtual void enableAttributeControls(bool enabled) = 0;
};
